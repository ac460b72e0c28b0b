#include "CliRunS.h"

#include <chrono>

CliRunS CliRunS::Finish(CliProcessC& cli) {
    CliRunS run;
    run.status = cli.Wait(std::chrono::seconds(60));
    run.out = cli.out();
    run.err = cli.err();
    // Not JSON gives a discarded value, which no expectation matches.
    run.json = nlohmann::json::parse(run.out, nullptr, false);
    return run;
}

CliRunS CliRunS::Of(const std::vector<std::string>& args, const std::string& input) {
    CliProcessC cli(ORYX_CLI_PATH, args, input);
    return Finish(cli);
}
