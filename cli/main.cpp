// oryx-cli: configures ORYX radios from scripts, over the same protocol cores as the program.
#include "cli/DiscoverCommandC.h"
#include "cli/ExitStatusT.h"
#include "cli/InterruptFlagC.h"
#include "cli/ModemCommandC.h"
#include "cli/ModemCommandLineC.h"
#include "cli/ModuleCommandC.h"
#include "cli/ModuleCommandLineC.h"
#include "cli/ParallelRunC.h"
#include "cli/PortListC.h"
#include "cli/PortRunC.h"
#include "cli/PortsCommandC.h"
#include "cli/TextsC.h"

#include "ORC_SetupLogger.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A command that has commands of its own shows them with all their options, so that
// `oryx-cli --help` and `oryx-cli modem --help` document everything.
std::string Help(const CLI::App& app) {
    const CLI::App* chosen = &app;
    std::string path;
    while (!chosen->get_subcommands().empty()) {
        path += (path.empty() ? "" : " ") + chosen->get_name();
        chosen = chosen->get_subcommands().front();
    }
    if (chosen == &app) {
        std::string help = app.help();
        for (const CLI::App* command : app.get_subcommands({})) {
            help += "\n" + command->help(app.get_name(), CLI::AppFormatMode::All);
        }
        return help;
    }
    const bool hasCommands = !chosen->get_subcommands({}).empty();
    return chosen->help(path, hasCommands ? CLI::AppFormatMode::All : CLI::AppFormatMode::Normal);
}

bool AskedForJson(int argc, char** argv) {
    return std::any_of(argv + 1, argv + argc,
                       [](const char* arg) { return std::string(arg) == "--json"; });
}

// The error may quote what a user or a list file gave; the terminal sees it escaped.
int UsageError(const CLI::App& app, const CLI::ParseError& error, bool json) {
    app.exit(CLI::ParseError(TextsC::ForTerminal(error.what()), error.get_exit_code()));
    if (json) {
        nlohmann::ordered_json report;
        report["status"] = "usage";
        report["exitStatus"] = static_cast<int>(ExitStatusT::Usage);
        report["error"] = error.what();
        std::cout << report.dump() << std::endl;
    }
    return static_cast<int>(ExitStatusT::Usage);
}

// The name of the command that runs ("read", "write", ...).
std::string ChosenCommand(const CLI::App& app) {
    const CLI::App* chosen = &app;
    while (!chosen->get_subcommands().empty()) {
        chosen = chosen->get_subcommands().front();
    }
    return chosen->get_name();
}

int TerminalColumns(int fd) {
    winsize size{};
    if (::isatty(fd) != 1) {
        return 0;
    }
    return ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

int RunOnEach(const CLI::App& app, const std::vector<std::string>& ports, const PortChoiceS& choice,
              bool json, const ParallelRunC::PortRunT& run) {
    ParallelRunC parallel(ChosenCommand(app), ports, json, &InterruptFlagC::Raised,
                          {std::cout, std::cerr, TerminalColumns(STDERR_FILENO)}, choice.jobs);
    return static_cast<int>(parallel.Run(run));
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("oryx-cli: configure ORYX radios over a serial port from the command line",
                 "oryx-cli");
    app.require_subcommand(1);
    ModemOptionsS modemOptions;
    ModemCommandLineC modemCommand(app, modemOptions);
    ModuleOptionsS moduleOptions;
    ModuleCommandLineC moduleCommand(app, moduleOptions);
    PortsCommandC portsCommand(app);
    DiscoverCommandC discoverCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << Help(app);
        return static_cast<int>(ExitStatusT::Success);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return app.exit(error);
        }
        return UsageError(app, error, AskedForJson(argc, argv));
    }

    if (moduleCommand.Chosen() && !moduleOptions.debugConfig.empty() &&
        ORC::setupLogger(moduleOptions.debugConfig.c_str()) != 0) {
        std::cerr << "Warning: cannot read " << moduleOptions.debugConfig
                  << "; the library's diagnostics stay off." << std::endl;
    }
    if (portsCommand.Chosen()) {
        return portsCommand.Run(std::cout);
    }
    if (discoverCommand.Chosen()) {
        std::vector<std::string> ports;
        if (const std::string problem = discoverCommand.CollectPorts(ports); !problem.empty()) {
            return UsageError(app, CLI::ValidationError(problem), discoverCommand.Json());
        }
        InterruptFlagC::Install();
        return discoverCommand.Run(ports, std::cout, std::cerr, &InterruptFlagC::Raised);
    }

    const bool module = moduleCommand.Chosen();
    const PortChoiceS& choice = module ? moduleOptions.portChoice : modemOptions.portChoice;
    const bool json = module ? moduleOptions.json : modemOptions.json;
    std::vector<std::string> ports;
    if (const std::string problem = PortListC::Collect(choice, ports); !problem.empty()) {
        return UsageError(app, CLI::ValidationError(problem), json);
    }
    if (const std::string problem = PortListC::SameFileProblem(
            module ? moduleOptions.eventLog : modemOptions.eventLog,
            module ? moduleOptions.saveProfile : modemOptions.saveProfile, ports, choice.Several());
        !problem.empty()) {
        return UsageError(app, CLI::ValidationError(problem), json);
    }
    if (choice.Several() && !module &&
        modemOptions.operation == ModemOptionsS::OperationT::Defaults && !modemOptions.assumeYes) {
        return UsageError(app,
                          CLI::ValidationError("defaults on several ports asks no radio first: "
                                               "add --yes"),
                          json);
    }

    InterruptFlagC::Install();
    if (choice.Several()) {
        return module ? RunOnEach(app, ports, choice, json,
                                  PortRunC::Module(moduleOptions, ports, &InterruptFlagC::Raised))
                      : RunOnEach(app, ports, choice, json,
                                  PortRunC::Modem(modemOptions, ports, &InterruptFlagC::Raised));
    }
    moduleOptions.port = modemOptions.port = ports.front();
    if (module) {
        ModuleCommandC command(moduleOptions, &InterruptFlagC::Raised, {std::cout, std::cerr});
        return static_cast<int>(command.Run());
    }
    ModemCommandC command(modemOptions, &InterruptFlagC::Raised,
                          {std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1});
    return static_cast<int>(command.Run());
}
