#include "cli/ModemCommandC.h"

#include "cli/ProfileDiffC.h"
#include "cli/TerminalModemViewC.h"
#include "cli/TextsC.h"
#include "cli/WireTraceScopeC.h"
#include "common/EventLogFileC.h"
#include "modem/ModemDialogCoreC.h"
#include "modem/ModemModelsC.h"
#include "platform/PortNames.h"

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

// A save that went through but not as asked says why; a script must not take it for success.
std::string SaveFailure(ModemDialogCoreC& core) {
    const std::string& notice = core.settings().saveNotice();
    return notice.empty() ? "Settings not saved." : notice;
}

} // namespace

ModemCommandC::ModemCommandC(const ModemOptionsS& options, std::function<bool()> cancelRequested,
                             StreamsS streams)
    : options_(options), cancelRequested_(std::move(cancelRequested)), streams_(streams) {}

ExitStatusT ModemCommandC::Run() {
    if (const std::string failure = LoadProfile(); !failure.empty()) {
        ModemReportC report(OperationName(options_.operation), options_.port);
        report.Fail(ExitStatusT::Usage, failure);
        report.Print(options_.json, streams_.out, streams_.err, {});
        return report.status();
    }
    ModemReportC report(OperationName(options_.operation), options_.port);
    const WireTraceScopeC trace(options_.trace, options_.port, streams_.err);
    EventLogFileC log(options_.eventLog, EventLogFileC::kMaxLines,
                      report.EventLogWarner(streams_.err));
    TerminalModemViewC view(options_.assumeYes, cancelRequested_, streams_.in, streams_.err,
                            !streams_.inIsTerminal);
    {
        ModemDialogCoreC core(log, view);
        Execute(core, report);
    }
    report.Print(options_.json, streams_.out, streams_.err, view.messages());
    return report.status();
}

void ModemCommandC::Execute(ModemDialogCoreC& core, ModemReportC& report) {
    core.OnInitDialog({options_.port}, options_.port, options_.baud, options_.service);
    if (!Connect(core, report)) {
        return;
    }
    report.Set("banner", core.fields().banner);
    report.Set("model", core.Values().model);
    report.SetRoundTrip(core.session().link().RoundTrip());
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
    if (const ModemMisfitT misfit = core.Change(options_.change); misfit != ModemMisfitT::None) {
        report.Fail(ExitStatusT::Usage, ChangeMisfitText(misfit, core.Values().model));
        LetGo(core);
        return;
    }
    ReportSettings(core, report);
    const ModemOutcomeT outcome = core.OnSave();
    // The rate the radio talks at now, also when the save stopped after changing it.
    report.Set("baud", core.Values().baud);
    if (outcome != ModemOutcomeT::Ok) {
        report.Fail(ExitStatusT::RadioFailed, SaveFailure(core));
    }
}

void ModemCommandC::Defaults(ModemDialogCoreC& core, ModemReportC& report) {
    const ModemOutcomeT outcome = core.OnDefault();
    if (outcome == ModemOutcomeT::Declined) {
        report.Fail(ExitStatusT::Cancelled, "Defaults not restored: declined.");
        LetGo(core);
        return;
    }
    report.Set("baud", core.Values().baud);
    if (outcome != ModemOutcomeT::Ok) {
        report.Fail(ExitStatusT::RadioFailed, "Defaults could not be restored.");
    }
}

// The command line has checked mode, link, rate and band already; device and power depend on
// the model that answered.
std::string ModemCommandC::ChangeMisfitText(ModemMisfitT misfit, int model) const {
    const ModemModelS& record = ModemModelsC::Model(model);
    const std::string forModel = " is not offered for model " + std::to_string(model);
    switch (misfit) {
    case ModemMisfitT::Device:
        return "Device " + options_.change.device.value_or("") + forModel +
               "; choose one of: " + TextsC::Joined(record.devices);
    case ModemMisfitT::Power:
        return "Power " + std::to_string(options_.change.power.value_or(-1)) + forModel +
               "; choose 0 to " + std::to_string(record.powerLevels.size() - 1);
    default:
        return "The settings given do not fit model " + std::to_string(model) + ".";
    }
}

void ModemCommandC::ReportSettings(const ModemDialogCoreC& core, ModemReportC& report) const {
    const ModemValuesS values = core.Values();
    report.Set("device", values.device);
    report.Set("mode", values.mode);
    report.Set("link", values.link);
    report.Set("baud", values.baud);
    if (values.power) {
        report.Set("power", *values.power);
    }
    if (values.band) {
        report.Set("band", *values.band);
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
    const std::string error = ModemProfileC(core.Values()).Save(options_.saveProfile);
    if (!error.empty()) {
        report.Fail(ExitStatusT::RadioFailed, error);
        return;
    }
    report.Set("profile", options_.saveProfile);
}

void ModemCommandC::Apply(ModemDialogCoreC& core, ModemReportC& report) {
    const int model = core.Values().model;
    if (const std::string misfit = profile_.Misfit(model); !misfit.empty()) {
        report.Fail(ExitStatusT::RadioFailed,
                    "Profile not applied: the radio is model " + std::to_string(model) +
                        " and the profile was saved from model " +
                        std::to_string(profile_.values.model) + " (" + misfit + ").");
        LetGo(core);
        return;
    }
    const ProfileDiffC changes(ModemProfileC(core.Values()).Settings(), profile_.Settings());
    report.SetJson("changes", changes.Json("from", "to"));
    if (options_.dryRun) {
        LetGo(core);
        return;
    }
    // The profile fits the model, as checked above.
    core.Change(ModemChangeS::To(profile_.values));
    const ModemOutcomeT outcome = core.OnSave();
    report.Set("baud", core.Values().baud);
    ReadBack(core, report, outcome == ModemOutcomeT::Ok ? "" : SaveFailure(core));
}

// The save has sent the radio out of command mode; the attention text brings it back without
// the cable being reconnected, as the model and the rate are known now.
void ModemCommandC::ReadBack(ModemDialogCoreC& core, ModemReportC& report,
                             const std::string& saveError) {
    if (core.ReadAgain() != ModemOutcomeT::Ok) {
        report.Fail(ExitStatusT::RadioFailed,
                    saveError.empty() ? "Settings saved, but they could not be read back."
                                      : saveError + " The settings could not be read back.");
        LetGo(core);
        return;
    }
    const ProfileDiffC failed(ModemProfileC(core.Values()).Settings(), profile_.Settings());
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
