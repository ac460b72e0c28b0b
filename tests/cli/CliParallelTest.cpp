// oryx-cli on several ports at once, run as the real program against simulated radios.
#include "CliProcessC.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using oryx::sim::ModuleFaults;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using Json = nlohmann::json;

constexpr auto kRunLimit = 90s;

std::string LinkName(const std::string& kind) {
    static int count = 0;
    return "par-" + kind + "-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
}

std::vector<std::string> PortArgs(const std::vector<std::string>& ports) {
    std::vector<std::string> args;
    for (const std::string& port : ports) {
        args.insert(args.end(), {"--port", port});
    }
    return args;
}

// The file of one port: the port text with its slashes made '_' goes before the extension.
std::string PortFile(const ScratchDirC& scratch, const std::string& stem, const std::string& port,
                     const std::string& extension) {
    std::string part = port.substr(port.find_first_not_of('/'));
    std::replace(part.begin(), part.end(), '/', '_');
    return scratch.file(stem + "-" + part + extension);
}

class CliParallelTest : public ::testing::Test {
protected:
    ModemRadio& StartModem(int model, std::uint32_t baud, bool banner = true) {
        ModemRadioOptions options;
        options.model = model;
        options.baud = baud;
        options.bannerOnOpen = banner;
        options.linkName = LinkName("modem");
        modems_.push_back(std::make_unique<ModemRadio>(options));
        modems_.back()->start();
        return *modems_.back();
    }

    ModuleRadio& StartModule() {
        ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = 0ms;
        options.linkName = LinkName("module");
        modules_.push_back(std::make_unique<ModuleRadio>(options));
        modules_.back()->start();
        return *modules_.back();
    }

    ScratchDirC scratch_;
    std::vector<std::unique_ptr<ModemRadio>> modems_;
    std::vector<std::unique_ptr<ModuleRadio>> modules_;
};

// Eight radios at once: four modems of three models at three rates read in one run, four
// modules written in another, where one module is silent and one refuses the write.
TEST_F(CliParallelTest, EachPortGetsItsOwnResultAndAFaultyRadioSpoilsOnlyItsOwn) {
    const std::vector<std::pair<int, std::uint32_t>> models = {
        {2400, 115200}, {2410, 19200}, {2450, 115200}, {2410, 9600}};
    std::vector<std::string> modemPorts;
    for (const auto& [model, baud] : models) {
        modemPorts.push_back(StartModem(model, baud).portText());
    }
    std::vector<std::string> modulePorts;
    for (int i = 0; i < 4; ++i) {
        modulePorts.push_back(StartModule().portText());
    }
    ModuleFaults refusing;
    refusing.words["AGDM"] = {ModuleFaults::Kind::Error};
    modules_[2]->setModuleFaults(refusing);
    oryx::sim::Faults silent;
    silent.silent = true;
    modules_[3]->setFaults(silent);

    std::vector<std::string> modemArgs = {"modem",
                                          "read",
                                          "--json",
                                          "--event-log",
                                          scratch_.file("run.log"),
                                          "--save",
                                          scratch_.file("bay.json")};
    const std::vector<std::string> modemPortArgs = PortArgs(modemPorts);
    modemArgs.insert(modemArgs.end(), modemPortArgs.begin(), modemPortArgs.end());
    std::vector<std::string> moduleArgs = {"module", "write",  "--json", "--name",
                                           "Bay 7",  "--role", "server"};
    const std::vector<std::string> modulePortArgs = PortArgs(modulePorts);
    moduleArgs.insert(moduleArgs.end(), modulePortArgs.begin(), modulePortArgs.end());
    CliProcessC modemCli(ORYX_CLI_PATH, modemArgs);
    CliProcessC moduleCli(ORYX_CLI_PATH, moduleArgs);

    ASSERT_EQ(modemCli.Wait(kRunLimit), 0) << modemCli.err();
    const Json modemResults = Json::parse(modemCli.out(), nullptr, false);
    ASSERT_TRUE(modemResults.is_array() && modemResults.size() == 4) << modemCli.out();
    for (std::size_t i = 0; i < models.size(); ++i) {
        const Json& result = modemResults[i];
        EXPECT_EQ(result["port"], modemPorts[i]);
        EXPECT_EQ(result["status"], "ok");
        EXPECT_EQ(result["model"], models[i].first);
        EXPECT_EQ(result["baud"], models[i].second);
        // Each log holds its own radio's talk and nobody else's.
        const std::string log =
            ScratchDirC::ReadFile(PortFile(scratch_, "run", modemPorts[i], ".log"));
        EXPECT_NE(log.find("Radio settings read OK."), std::string::npos) << modemPorts[i];
        for (std::size_t j = 0; j < models.size(); ++j) {
            const std::string banner = "WLK" + std::to_string(models[j].first);
            EXPECT_EQ(log.find(banner) != std::string::npos, models[i].first == models[j].first)
                << modemPorts[i] << " " << banner;
        }
        // So does each profile: one thread per file.
        const Json profile =
            Json::parse(ScratchDirC::ReadFile(PortFile(scratch_, "bay", modemPorts[i], ".json")),
                        nullptr, false);
        EXPECT_EQ(profile["model"], models[i].first) << modemPorts[i];
    }
    EXPECT_NE(modemCli.err().find(modemPorts[1] + ": Waiting for radio at 19200 bps..."),
              std::string::npos)
        << modemCli.err();

    ASSERT_EQ(moduleCli.Wait(kRunLimit), 1) << moduleCli.err();
    const Json moduleResults = Json::parse(moduleCli.out(), nullptr, false);
    ASSERT_TRUE(moduleResults.is_array() && moduleResults.size() == 4) << moduleCli.out();
    const std::vector<std::string> statuses = {"ok", "ok", "failed", "connect-failed"};
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        EXPECT_EQ(moduleResults[i]["port"], modulePorts[i]);
        EXPECT_EQ(moduleResults[i]["status"], statuses[i]) << moduleResults[i];
    }
    EXPECT_EQ(moduleResults[2]["error"], "Failed to write settings");
    EXPECT_EQ(modules_[0]->storedSettings().name, "Bay 7");
    EXPECT_EQ(modules_[1]->storedSettings().name, "Bay 7");
    EXPECT_NE(modules_[2]->storedSettings().name, "Bay 7");
    EXPECT_NE(moduleCli.err().find(modulePorts[3] + ": Connect with 4800 baud failed"),
              std::string::npos)
        << moduleCli.err();
    // Each failure's message on its own line, as a single port prints it.
    for (const auto& [port, message] : {std::pair{modulePorts[2], "Failed to write settings"},
                                        std::pair{modulePorts[3], "Connect failed!"}}) {
        EXPECT_NE(moduleCli.err().find(port + ": " + message + "\n"), std::string::npos)
            << moduleCli.err();
    }
}

TEST_F(CliParallelTest, CtrlCCancelsEveryPortWithinTwoSecondsAndTheTableSaysSo) {
    std::vector<std::string> ports;
    for (int i = 0; i < 3; ++i) {
        ports.push_back(StartModem(2410, 115200, false).portText());
    }
    std::vector<std::string> args = {"modem", "read"};
    const std::vector<std::string> portArgs = PortArgs(ports);
    args.insert(args.end(), portArgs.begin(), portArgs.end());
    CliProcessC cli(ORYX_CLI_PATH, args);
    ASSERT_TRUE(cli.WaitForError(ports[2] + ": Please disconnect", 20s)) << cli.err();
    cli.Interrupt();
    const auto interrupted = std::chrono::steady_clock::now();

    EXPECT_EQ(cli.Wait(kRunLimit), 4) << cli.err();
    EXPECT_LT(std::chrono::steady_clock::now() - interrupted, 3s);
    for (const std::string& port : ports) {
        // The port column is as wide as the longest port text.
        const auto at = cli.out().find(port + " ");
        ASSERT_NE(at, std::string::npos) << cli.out();
        const std::string row = cli.out().substr(at);
        EXPECT_EQ(row.substr(0, row.find('\n')).substr(row.find_first_not_of(' ', port.size())),
                  "cancelled  Cancelled while waiting for the radio.")
            << cli.out();
    }
}

} // namespace
