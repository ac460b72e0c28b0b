#include "cli/ModemCommandC.h"

#include "cli/ProfileDiffC.h"
#include "cli/TerminalModemViewC.h"
#include "cli/TextsC.h"
#include "cli/WireTraceScopeC.h"
#include "common/EventLogFileC.h"
#include "modem/ModemDialogCoreC.h"
#include "modem/ModemModelsC.h"
#include "platform/PortNames.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

const char* OperationName(ModemOptionsS::OperationT operation) {
    switch (operation) {
    case ModemOptionsS::OperationT::Read:
        return "read";
    case ModemOptionsS::OperationT::Write:
        return "write";
    case ModemOptionsS::OperationT::Defaults:
        return "defaults";
    case ModemOptionsS::OperationT::Apply:
        return "apply";
    }
    return "read";
}

int IndexIgnoringCase(const ComboBoxModelC& box, const std::string& text) {
    const auto& entries = box.Entries();
    const auto found = std::find_if(entries.begin(), entries.end(), [&text](const std::string& e) {
        return TextsC::SameIgnoringCase(e, text);
    });
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

int BaudNumber(const std::string& baudText) {
    return std::atoi(baudText.c_str());
}

} // namespace

ModemCommandC::ModemCommandC(const ModemOptionsS& options, std::function<bool()> cancelRequested,
                             StreamsS streams)
    : options_(options), cancelRequested_(std::move(cancelRequested)), streams_(streams) {}

ExitStatusT ModemCommandC::Run() {
    if (const std::string failure = LoadProfile(); !failure.empty()) {
        ModemReportC report(OperationName(options_.operation), options_.port);
        report.Fail(ExitStatusT::Usage, failure);
        if (options_.json) {
            report.PrintJson(streams_.out, {});
        } else {
            report.PrintText(streams_.out, streams_.err);
        }
        return report.status();
    }
    const WireTraceScopeC trace(options_.trace, options_.port, streams_.err);
    EventLogFileC log(options_.eventLog, EventLogFileC::kMaxLines);
    TerminalModemViewC view(options_.assumeYes, cancelRequested_, streams_.in, streams_.err,
                            !streams_.inIsTerminal);
    ModemReportC report(OperationName(options_.operation), options_.port);
    {
        ModemDialogCoreC core(log, view);
        Execute(core, report);
    }
    if (options_.json) {
        report.PrintJson(streams_.out, view.messages());
    } else {
        report.PrintText(streams_.out, streams_.err);
    }
    return report.status();
}

void ModemCommandC::Execute(ModemDialogCoreC& core, ModemReportC& report) {
    core.OnInitDialog({options_.port}, options_.port, options_.baud, options_.service);
    if (!Connect(core, report)) {
        return;
    }
    report.Set("banner", core.fields().banner);
    report.Set("model", core.fields().modelNumber);
    if (cancelRequested_()) {
        report.Fail(ExitStatusT::Cancelled, "Cancelled.");
        LetGo(core);
        return;
    }
    switch (options_.operation) {
    case ModemOptionsS::OperationT::Read:
        Read(core, report);
        break;
    case ModemOptionsS::OperationT::Write:
        Write(core, report);
        break;
    case ModemOptionsS::OperationT::Defaults:
        Defaults(core, report);
        break;
    case ModemOptionsS::OperationT::Apply:
        Apply(core, report);
        break;
    }
}

bool ModemCommandC::Connect(ModemDialogCoreC& core, ModemReportC& report) {
    switch (core.OnConnectButton()) {
    case ModemOutcomeT::Ok:
        return true;
    case ModemOutcomeT::Cancelled:
        report.Fail(ExitStatusT::Cancelled, "Cancelled while waiting for the radio.");
        break;
    case ModemOutcomeT::PortUnavailable:
        report.Fail(
            ExitStatusT::PortUnavailable,
            ModemReportC::WithOpenProblem(
                "Cannot open port " + oryx::platform::PortNames::displayName(options_.port) + ".",
                options_.port));
        break;
    default:
        report.Fail(ExitStatusT::RadioFailed, "The radio's settings could not be read.");
        break;
    }
    return false;
}

void ModemCommandC::Read(ModemDialogCoreC& core, ModemReportC& report) {
    ReportSettings(core, report);
    if (!options_.saveProfile.empty()) {
        SaveProfile(core, report);
    }
    LetGo(core);
}

void ModemCommandC::Write(ModemDialogCoreC& core, ModemReportC& report) {
    if (const std::string mismatch = WriteOptionsMismatch(core); !mismatch.empty()) {
        report.Fail(ExitStatusT::Usage, mismatch);
        LetGo(core);
        return;
    }
    ApplyWriteOptions(core, options_);
    ReportSettings(core, report);
    const ModemOutcomeT outcome = core.OnSave();
    // The rate the radio talks at now, also when the save stopped after changing it.
    report.Set("baud", BaudNumber(core.fields().currentBaud));
    if (outcome != ModemOutcomeT::Ok) {
        // A save that went through but not as asked says why; a script must not take it for
        // success.
        const std::string& notice = core.settings().saveNotice();
        report.Fail(ExitStatusT::RadioFailed, notice.empty() ? "Settings not saved." : notice);
    }
}

void ModemCommandC::Defaults(ModemDialogCoreC& core, ModemReportC& report) {
    const ModemOutcomeT outcome = core.OnDefault();
    if (outcome == ModemOutcomeT::Declined) {
        report.Fail(ExitStatusT::Cancelled, "Defaults not restored: declined.");
        LetGo(core);
        return;
    }
    report.Set("baud", BaudNumber(core.fields().currentBaud));
    if (outcome != ModemOutcomeT::Ok) {
        report.Fail(ExitStatusT::RadioFailed, "Defaults could not be restored.");
    }
}

std::string ModemCommandC::WriteOptionsMismatch(const ModemDialogCoreC& core) const {
    const ModemFieldsC& f = core.fields();
    if (options_.device && IndexIgnoringCase(f.deviceBox, *options_.device) < 0) {
        return "Device " + *options_.device + " is not offered for model " +
               std::to_string(f.modelNumber) +
               "; choose one of: " + TextsC::Joined(f.deviceBox.Entries());
    }
    const auto powerLevels = ModemModelsC::Model(f.modelNumber).powerLevels.size();
    if (options_.power && static_cast<size_t>(*options_.power) >= powerLevels) {
        return "Power " + std::to_string(*options_.power) + " is not offered for model " +
               std::to_string(f.modelNumber) + "; choose 0 to " + std::to_string(powerLevels - 1);
    }
    return {};
}

// Picks the entries the way a user would, so the core sees the same events as in the dialog.
void ModemCommandC::ApplyWriteOptions(ModemDialogCoreC& core, const ModemOptionsS& wanted) {
    using BoxT = ModemFieldsC::BoxT;
    ModemFieldsC& f = core.fields();
    if (wanted.mode) {
        core.OnBoxSelected(BoxT::Mode, IndexIgnoringCase(f.modeBox, *wanted.mode));
    }
    if (wanted.device) {
        core.OnBoxSelected(BoxT::Device, IndexIgnoringCase(f.deviceBox, *wanted.device));
    }
    if (wanted.link) {
        core.OnBoxSelected(BoxT::Link, *wanted.link);
    }
    if (wanted.setBaud) {
        core.OnBoxSelected(BoxT::Baud, ModemModelsC::BaudIndex(*wanted.setBaud));
    }
    if (wanted.band || wanted.power) {
        core.SetServiceSettings(wanted.band.value_or(f.band), wanted.power.value_or(f.power));
    }
}

void ModemCommandC::ReportSettings(const ModemDialogCoreC& core, ModemReportC& report) const {
    const ModemFieldsC& f = core.fields();
    report.Set("device", f.deviceBox.SelectedText());
    report.Set("mode", f.modeBox.SelectedText());
    report.Set("link", f.linkBox.Selected());
    report.Set("baud", BaudNumber(f.baudBox.SelectedText()));
    if (f.serviceMode) {
        report.Set("power", f.power);
        report.Set("band", f.band);
    }
}

// Leaves the radio the way closing the dialog does: out of command mode, port closed.
void ModemCommandC::LetGo(ModemDialogCoreC& core) {
    core.PrepareClose();
}

std::string ModemCommandC::LoadProfile() {
    if (options_.operation != ModemOptionsS::OperationT::Apply) {
        return {};
    }
    if (std::string error = ModemProfileC::Load(options_.profile, profile_); !error.empty()) {
        return error;
    }
    if (profile_.HasServiceSettings() && !options_.service) {
        return "Profile " + options_.profile + " holds power and band, which need --service.";
    }
    return {};
}

void ModemCommandC::SaveProfile(const ModemDialogCoreC& core, ModemReportC& report) const {
    const std::string error = ModemProfileC::FromFields(core.fields()).Save(options_.saveProfile);
    if (!error.empty()) {
        report.Fail(ExitStatusT::RadioFailed, error);
        return;
    }
    report.Set("profile", options_.saveProfile);
}

void ModemCommandC::Apply(ModemDialogCoreC& core, ModemReportC& report) {
    const int model = core.fields().modelNumber;
    if (const std::string misfit = profile_.Misfit(model); !misfit.empty()) {
        report.Fail(ExitStatusT::RadioFailed,
                    "Profile not applied: the radio is model " + std::to_string(model) +
                        " and the profile was saved from model " + std::to_string(profile_.model) +
                        " (" + misfit + ").");
        LetGo(core);
        return;
    }
    const ProfileDiffC changes(ModemProfileC::FromFields(core.fields()).Settings(),
                               profile_.Settings());
    report.SetJson("changes", changes.Json("from", "to"));
    if (options_.dryRun) {
        LetGo(core);
        return;
    }
    ModemOptionsS wanted;
    profile_.ToWriteOptions(wanted);
    ApplyWriteOptions(core, wanted);
    const ModemOutcomeT outcome = core.OnSave();
    report.Set("baud", BaudNumber(core.fields().currentBaud));
    std::string saveError;
    if (outcome != ModemOutcomeT::Ok) {
        const std::string& notice = core.settings().saveNotice();
        saveError = notice.empty() ? "Settings not saved." : notice;
    }
    ReadBack(core, report, saveError);
}

// The save has sent the radio out of command mode; the attention text brings it back without
// the cable being reconnected, as the model and the rate are known now.
void ModemCommandC::ReadBack(ModemDialogCoreC& core, ModemReportC& report,
                             const std::string& saveError) {
    ModemSessionC& session = core.session();
    ModemFieldsC& f = core.fields();
    bool read = session.OpenModemPort(f.currentBaud, false) == RC_OK;
    if (read) {
        session.ShowConnectedState();
        f.connected = true;
        read = core.settings().ReadSettings() == RC_OK;
    }
    if (!read) {
        report.Fail(ExitStatusT::RadioFailed,
                    saveError.empty() ? "Settings saved, but they could not be read back."
                                      : saveError + " The settings could not be read back.");
        LetGo(core);
        return;
    }
    const ProfileDiffC failed(ModemProfileC::FromFields(f).Settings(), profile_.Settings());
    report.SetJson("failed", failed.Json("read", "wanted"));
    LetGo(core);
    if (!saveError.empty()) {
        report.Fail(ExitStatusT::RadioFailed,
                    saveError + (failed.empty() ? "" : " Not taken: " + failed.Names() + "."));
    } else if (!failed.empty()) {
        report.Fail(ExitStatusT::RadioFailed,
                    "Settings that did not take: " + failed.Names() + ".");
    }
}
