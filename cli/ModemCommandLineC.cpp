#include "cli/ModemCommandLineC.h"

#include "cli/PortListC.h"
#include "cli/TextsC.h"
#include "cli/WireTraceScopeC.h"
#include "modem/ModemModelsC.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace {

const CLI::Validator kHexByte(
    [](std::string& text) -> std::string {
        const bool ok = text.size() == 2 && std::isxdigit(static_cast<unsigned char>(text[0])) &&
                        std::isxdigit(static_cast<unsigned char>(text[1]));
        if (!ok) {
            return "expected two hexadecimal digits, got '" + text + "'";
        }
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return {};
    },
    "HEX2");

CLI::IsMember BaudRateList() {
    return CLI::IsMember(ModemModelsC::BaudRates());
}

// The help of --device, --band and --power names each model's own values from the model table,
// so that a new model needs nothing here.
std::string PerModel(const std::string& separator,
                     const std::function<std::string(const ModemModelS&)>& part) {
    std::string text;
    for (const int number : ModemModelsC::Numbers()) {
        text += (text.empty() ? "" : separator) + part(ModemModelsC::Model(number));
    }
    return text;
}

std::string DeviceHelp() {
    return "Device as offered for the model: " + PerModel(", ", [](const ModemModelS& model) {
               return TextsC::Joined(model.devices) + " (" + std::to_string(model.number) + ")";
           });
}

std::string BandHelp() {
    return "Frequency band code, two hexadecimal digits (worldwide: " +
           PerModel(", ",
                    [](const ModemModelS& model) {
                        return std::string(model.worldwideBand) + " on " +
                               std::to_string(model.number);
                    }) +
           "; USA: " + ModemModelS::kUsaBand + ")";
}

std::string PowerHelp() {
    return "Transmit power index as the service dialog lists the levels: " +
           PerModel("; ", [](const ModemModelS& model) {
               std::string levels;
               for (std::size_t i = 0; i < model.powerLevels.size(); ++i) {
                   levels += (i == 0 ? "" : ", ") + std::to_string(i) + " " + model.powerLevels[i];
               }
               return std::to_string(model.number) + ": " + levels;
           });
}

int HighestPowerIndex() {
    std::size_t levels = 0;
    for (const int number : ModemModelsC::Numbers()) {
        levels = std::max(levels, ModemModelsC::Model(number).powerLevels.size());
    }
    return static_cast<int>(levels) - 1;
}

} // namespace

ModemCommandLineC::ModemCommandLineC(CLI::App& parent, ModemOptionsS& options) : options_(options) {
    modem_ = parent.add_subcommand("modem", "Configure a radio modem of the ORYX 62/63 family");
    modem_->require_subcommand(1);
    modem_->footer(
        std::string(
            "Each command first finds the radio the way ORYX Config connects: it opens the port at "
            "--baud and asks for the radio's cable to be reconnected; when the start-up banner "
            "does "
            "not come at that rate it tries the next one (4800 9600 14400 19200 57600 115200, "
            "round "
            "and round) until the banner arrives or Ctrl-C is pressed. Then it reads the radio's "
            "settings and does its work.\n\n"
            "Messages, questions and progress go to standard error; results go to standard output "
            "(with --json: one JSON object, also on failure).\n\n"
            "Exit status: 0 success, 1 the radio operation failed, 2 usage error, 3 the port "
            "cannot "
            "be opened, 4 cancelled (Ctrl-C, or a question answered no). To give up after a while "
            "use timeout(1): timeout -s INT 60 oryx-cli modem read --port ttyUSB0") +
        PortListC::kSeveralPortsHelp);
    AddReadCommand();
    AddWriteCommand();
    AddDefaultsCommand();
    AddApplyCommand();
}

void ModemCommandLineC::AddCommonOptions(CLI::App& command) {
    PortListC::AddOptions(command, options_.portChoice);
    command.add_option("--baud", options_.baud, "Baud rate to start the search at")
        ->capture_default_str()
        ->check(BaudRateList());
    command.add_flag("--json", options_.json, "Print the result as one JSON object");
    command.add_option("--event-log", options_.eventLog,
                       "Append the event log to this file (kept to its last 500 lines); none "
                       "by default. On several ports each keeps its own: the port, with every "
                       "character but letters, digits, '.', '-' and '_' made '_', goes before "
                       "the extension (run.log and pts/4 give run-pts_4.log)");
    command.add_option("--trace", options_.trace, WireTraceScopeC::kOptionHelp);
}

void ModemCommandLineC::AddReadCommand() {
    CLI::App* read = modem_->add_subcommand(
        "read", "Print banner, model, device, mode, link and baud rate of the radio");
    AddCommonOptions(*read);
    read->add_flag("--service", options_.service, "Also read transmit power and frequency band");
    read->add_option("--save", options_.saveProfile,
                     "Also write the settings to this profile file (with --service including "
                     "power and band), for `modem apply`; docs/profiles.md has the format. On "
                     "several ports each "
                     "keeps its own, named as the event logs are");
    read->callback([this] { options_.operation = ModemOptionsS::OperationT::Read; });
}

void ModemCommandLineC::AddWriteCommand() {
    CLI::App* write = modem_->add_subcommand(
        "write", "Change settings and store them in the radio (the radio's other settings are "
                 "kept; the model's fixed parameters are written as well)");
    AddCommonOptions(*write);
    CLI::Option* service =
        write->add_flag("--service", options_.service, "Service mode: allows --band and --power");
    write
        ->add_option_function<std::string>(
            "--mode", [this](const std::string& mode) { options_.change.mode = mode; },
            "Transceiver mode")
        ->check(CLI::IsMember(ModemModelsC::Modes(), CLI::ignore_case));
    write->add_option_function<std::string>(
        "--device", [this](const std::string& device) { options_.change.device = device; },
        DeviceHelp());
    write
        ->add_option_function<int>(
            "--link", [this](const int& link) { options_.change.link = link; }, "Link number")
        ->check(CLI::Range(0, ModemModelsC::kMaxLink));
    write
        ->add_option_function<std::string>(
            "--set-baud",
            [this](const std::string& baud) { options_.change.baud = std::stoi(baud); },
            "New baud rate of the radio; the PC follows it")
        ->check(BaudRateList());
    write
        ->add_option_function<std::string>(
            "--band", [this](const std::string& band) { options_.change.band = band; }, BandHelp())
        ->check(kHexByte)
        ->needs(service);
    write
        ->add_option_function<int>(
            "--power", [this](const int& power) { options_.change.power = power; }, PowerHelp())
        ->check(CLI::Range(0, HighestPowerIndex()))
        ->needs(service);
    write->callback([this] { options_.operation = ModemOptionsS::OperationT::Write; });
}

void ModemCommandLineC::AddDefaultsCommand() {
    CLI::App* defaults = modem_->add_subcommand(
        "defaults", "Reset the radio to the maker's defaults (it ends at the model's default baud "
                    "rate, which is printed)");
    AddCommonOptions(*defaults);
    defaults->add_flag("-y,--yes", options_.assumeYes, "Do not ask before resetting");
    defaults->callback([this] { options_.operation = ModemOptionsS::OperationT::Defaults; });
}

void ModemCommandLineC::AddApplyCommand() {
    CLI::App* apply = modem_->add_subcommand(
        "apply", "Write a profile saved by `modem read --save` to the radio, read the settings "
                 "back and name any that did not take (exit status 1). The profile is checked "
                 "before the port is opened (exit status 2 naming the field), and a radio whose "
                 "model does not fit its settings is refused before anything is written");
    apply->add_option("profile", options_.profile, "The profile file")->required();
    AddCommonOptions(*apply);
    apply->add_flag("--service", options_.service,
                    "Service mode: needed for a profile that holds power and band");
    apply->add_flag("--dry-run", options_.dryRun,
                    "Connect, read and show what would change; write nothing");
    apply->callback([this] { options_.operation = ModemOptionsS::OperationT::Apply; });
}
