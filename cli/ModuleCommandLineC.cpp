#include "cli/ModuleCommandLineC.h"

#include "cli/PortListC.h"
#include "cli/WireTraceScopeC.h"

ModuleCommandLineC::ModuleCommandLineC(CLI::App& parent, ModuleOptionsS& options)
    : options_(options) {
    module_ = parent.add_subcommand("module", "Configure a radio module of the ORYX 64/65 family");
    module_->require_subcommand(1);
    module_->footer(
        std::string(
            "Each command first checks that the port opens (nothing is sent when it does not), "
            "then "
            "connects the way ORYX Config does: at --baud, then at 4800 9600 19200 57600 115200 in "
            "this order, skipping the rate already tried, until the module answers in command "
            "mode. "
            "When it is done it leaves command mode: after a successful write of role and name the "
            "module is reset (it restarts with the written settings), otherwise it is switched "
            "back "
            "to data mode; then the port is closed.\n\n"
            "Progress and messages go to standard error; results go to standard output (with "
            "--json: one JSON object, also on failure).\n\n"
            "Exit status: 0 success, 1 the module operation failed, 2 usage error (also every "
            "check of write), 3 the port cannot be opened, 4 cancelled (Ctrl-C, at any point), 5 "
            "the module answered at no rate (\"Connect failed!\").") +
        PortListC::kSeveralPortsHelp);

    CLI::App* read = AddCommand("read",
                                "Print name, address, module baud rate, role (client, server or "
                                "none) and the PC rate that reached the module",
                                ModuleOptionsS::OperationT::Read);
    read->add_option("--save", options_.saveProfile,
                     "Also write name, role and module baud rate to this profile file, for "
                     "`module apply`; docs/profiles.md has the format. On several ports each "
                     "keeps its own, named as the event logs are");

    CLI::App* write = AddCommand(
        "write", "Write role and name, permanently, and optionally the module's baud rate",
        ModuleOptionsS::OperationT::Write);
    write->add_option("--name", options_.name,
                      "Local name, 1 to 15 characters, no double quote or control character");
    write->add_option("--role", options_.role, "Device role")
        ->check(CLI::IsMember({"client", "server"}));
    write->add_option("--module-baud", options_.moduleBaud,
                      "New baud rate of the module's serial interface, applied at once (the PC "
                      "follows): 4800 9600 19200 57600 115200 921600");

    AddCommand("search",
               "List the devices in range (only in the client role); none found is "
               "success with an empty list",
               ModuleOptionsS::OperationT::Search);

    CLI::App* pair =
        AddCommand("pair", "Search, then pair the module with the device found at --address",
                   ModuleOptionsS::OperationT::Pair);
    pair->add_option("--address", options_.address, "Address of the device, as search prints it")
        ->required();

    AddCommand("paired", "Print the device the module is paired with",
               ModuleOptionsS::OperationT::Paired);
    AddCommand("version", "Print the module's five version texts, in order",
               ModuleOptionsS::OperationT::Version);

    CLI::App* apply = AddCommand(
        "apply",
        "Write a profile saved by `module read --save` the way write does, read the settings "
        "back and name any that did not take (exit status 1). The profile is checked before the "
        "port is opened (exit status 2 naming the field)",
        ModuleOptionsS::OperationT::Apply);
    apply->add_option("profile", options_.profile, "The profile file")->required();
    apply->add_flag("--dry-run", options_.dryRun,
                    "Connect, read and show what would change; write nothing");
}

CLI::App* ModuleCommandLineC::AddCommand(const char* name, const char* description,
                                         ModuleOptionsS::OperationT operation) {
    CLI::App* command = module_->add_subcommand(name, description);
    AddCommonOptions(*command);
    command->callback([this, operation] { options_.operation = operation; });
    return command;
}

void ModuleCommandLineC::AddCommonOptions(CLI::App& command) {
    PortListC::AddOptions(command, options_.portChoice);
    command.add_option("--baud", options_.baud, "PC baud rate to try first")
        ->capture_default_str()
        ->check(CLI::IsMember({"4800", "9600", "19200", "57600", "115200"}));
    command.add_flag("--json", options_.json, "Print the result as one JSON object");
    command.add_option("--event-log", options_.eventLog,
                       "Append the event log to this file (kept to its last 500 lines); none "
                       "by default. On several ports each keeps its own: the port, with every "
                       "character but letters, digits, '.', '-' and '_' made '_', goes before "
                       "the extension (run.log and pts/4 give run-pts_4.log)");
    command.add_option("--trace", options_.trace, WireTraceScopeC::kOptionHelp);
    command
        .add_option("--debug-config", options_.debugConfig,
                    "Switch on the library's diagnostics with this debug configuration "
                    "(debug.def) before anything else; docs/diagnostics.md has an example")
        ->check(CLI::ExistingFile);
}
