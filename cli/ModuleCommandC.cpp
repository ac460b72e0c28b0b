#include "cli/ModuleCommandC.h"

#include "ORC_WireTap.h"
#include "cli/ProfileDiffC.h"
#include "cli/TextsC.h"
#include "cli/WireTraceScopeC.h"
#include "common/EventLogFileC.h"
#include "platform/PortEnumerator.h"
#include "platform/PortNames.h"
#include "platform/WireTraceHub.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr const char* kCaption = "ORYX Config";
// After Ctrl-C a run gets this long to reach its next step and leave the module cleanly.
constexpr auto kStopGrace = 1500ms;
constexpr auto kCancelPoll = 50ms;

const char* OperationName(ModuleOptionsS::OperationT operation) {
    switch (operation) {
    case ModuleOptionsS::OperationT::Read:
        return "read";
    case ModuleOptionsS::OperationT::Write:
        return "write";
    case ModuleOptionsS::OperationT::Search:
        return "search";
    case ModuleOptionsS::OperationT::Pair:
        return "pair";
    case ModuleOptionsS::OperationT::Paired:
        return "paired";
    case ModuleOptionsS::OperationT::Version:
        return "version";
    case ModuleOptionsS::OperationT::Apply:
        return "apply";
    }
    return "read";
}

nlohmann::ordered_json DeviceJson(const ModuleCoreC::DeviceT& device) {
    return {{"name", ModuleCoreC::Name(device)}, {"address", ModuleCoreC::Address(device)}};
}

ModuleRoleT RoleOf(const std::string& role) {
    if (role == "client") {
        return ModuleRoleT::Client;
    }
    return role == "server" ? ModuleRoleT::Server : ModuleRoleT::None;
}

// A module whose profiles fit no role reads as "none", as one that has neither.
std::string RoleName(std::optional<ModuleRoleT> role) {
    if (role == ModuleRoleT::Client) {
        return "client";
    }
    return role == ModuleRoleT::Server ? "server" : "none";
}

ModuleProfileC SettingsOf(const ModuleReadS& read) {
    ModuleProfileC settings;
    settings.name = read.name;
    settings.role = RoleName(read.role);
    settings.moduleBaud = static_cast<int>(read.moduleBaud.value_or(0));
    return settings;
}

ModuleWriteS WriteRequest(const ModuleOptionsS& options) {
    return {options.name, RoleOf(options.role), options.moduleBaud};
}

void ReportRoundTrip(ORC::CFG::OpalDeviceControllerC& controller, ModemReportC& report) {
    uint32_t roundTripMs = 0;
    if (controller.getLinkRoundTrip(roundTripMs) == ORC::CFG::CFG_OK) {
        report.SetRoundTrip(std::chrono::milliseconds(roundTripMs));
    }
}

bool SameAddress(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

ModuleCommandC::ModuleCommandC(const ModuleOptionsS& options, std::function<bool()> cancelRequested,
                               StreamsS streams)
    : options_(options), cancelRequested_(std::move(cancelRequested)), streams_(streams) {}

ExitStatusT ModuleCommandC::Run() {
    ModemReportC report(OperationName(options_.operation), options_.port);
    if (const std::string failure = UsageFailure(); !failure.empty()) {
        Fail(report, ExitStatusT::Usage, failure);
        Print(report);
        return report.status();
    }
    WireTraceScopeC trace(options_.trace, options_.port, streams_.err);
    if (trace.Active()) {
        ORC::setWireTap(&oryx::platform::WireTraceHub::take);
    }
    EventLogFileC log(options_.eventLog, EventLogFileC::kMaxLines,
                      report.EventLogWarner(streams_.err));
    log_ = &log;
    if (!oryx::platform::PortEnumerator::portOpens(options_.port)) {
        const std::string text =
            "Cannot open port " + oryx::platform::PortNames::displayName(options_.port) + "!";
        Fail(report, ExitStatusT::PortUnavailable,
             ModemReportC::WithOpenProblem(text, options_.port), text);
        Print(report);
        return report.status();
    }
    const ExitStatusT status = WaitForRun([&] { Execute(log, report); });
    if (status == ExitStatusT::Cancelled) {
        if (abandon_) {
            abandon_();
        }
        // The run is still blocked in the library; what it found so far is not reported.
        ModemReportC cancelled(OperationName(options_.operation), options_.port);
        cancelled.Fail(ExitStatusT::Cancelled, "Cancelled.");
        std::lock_guard guard(errLock_);
        if (options_.json) {
            cancelled.PrintJson(streams_.out, {});
            cancelled.PrintError(streams_.err, streams_.errPrefix);
        } else {
            cancelled.PrintText(streams_.out, streams_.err);
        }
        trace.Finish();
        std::fflush(nullptr);
        std::_Exit(static_cast<int>(ExitStatusT::Cancelled));
    }
    Print(report);
    return report.status();
}

// The write's checks all run here, so that a write never stops half-way for something it
// could have refused before the port opened.
std::string ModuleCommandC::UsageFailure() {
    if (options_.operation == ModuleOptionsS::OperationT::Apply) {
        return ModuleProfileC::Load(options_.profile, profile_);
    }
    if (options_.operation != ModuleOptionsS::OperationT::Write) {
        return {};
    }
    const ModuleResultS checked = ModuleCoreC::CheckWrite(WriteRequest(options_));
    return checked.ok() ? std::string() : checked.text;
}

// Success, or Cancelled when the run did not end within the grace after Ctrl-C; then it is
// left running. The worker may outlive this frame, so what it shares with the waiter is owned
// by both.
ExitStatusT ModuleCommandC::WaitForRun(std::function<void()> run) {
    struct SharedS {
        std::mutex lock;
        std::condition_variable ended;
        bool done = false;
    };
    const auto shared = std::make_shared<SharedS>();
    std::thread worker([shared, run = std::move(run)] {
        run();
        std::lock_guard guard(shared->lock);
        shared->done = true;
        shared->ended.notify_all();
    });
    std::unique_lock guard(shared->lock);
    std::optional<std::chrono::steady_clock::time_point> giveUpAt;
    while (!shared->done) {
        shared->ended.wait_for(guard, kCancelPoll);
        if (!giveUpAt && cancelRequested_()) {
            stop_ = true;
            giveUpAt = std::chrono::steady_clock::now() + kStopGrace;
        }
        if (!shared->done && giveUpAt && std::chrono::steady_clock::now() >= *giveUpAt) {
            guard.unlock();
            worker.detach();
            return ExitStatusT::Cancelled;
        }
    }
    guard.unlock();
    worker.join();
    return ExitStatusT::Success;
}

void ModuleCommandC::Execute(EventLogFileC& log, ModemReportC& report) {
    ORC::CFG::OpalDeviceControllerC controller;
    ModuleCoreC module(controller, &log);
    log.Log("ORYX_64_CfgDlgC::OnConnect");
    if (!Connect(module, report)) {
        return;
    }
    if (!StopRequested(report)) {
        switch (options_.operation) {
        case ModuleOptionsS::OperationT::Read:
            Read(module, report);
            break;
        case ModuleOptionsS::OperationT::Write:
            Write(module, report, options_);
            break;
        case ModuleOptionsS::OperationT::Search:
            Search(module, report);
            break;
        case ModuleOptionsS::OperationT::Pair:
            Pair(module, report);
            break;
        case ModuleOptionsS::OperationT::Paired:
            Paired(module, report);
            break;
        case ModuleOptionsS::OperationT::Version:
            Version(module, report);
            break;
        case ModuleOptionsS::OperationT::Apply:
            Apply(module, report);
            break;
        }
    }
    ReportRoundTrip(controller, report);
    Leave(module, log);
}

bool ModuleCommandC::Connect(ModuleCoreC& module, ModemReportC& report) {
    const ModuleConnectedS connected = module.Connect(options_.port, options_.baud, false, *this);
    if (connected.result.ok()) {
        pcBaud_ = connected.baud;
        return true;
    }
    if (!StopRequested(report)) {
        Fail(report, ExitStatusT::ConnectFailed, connected.result.text, connected.result.box);
    }
    return false;
}

bool ModuleCommandC::StopRequested() {
    return stop_;
}

void ModuleCommandC::AttemptFailed(const std::string& text) {
    Status(text);
}

void ModuleCommandC::Leave(ModuleCoreC& module, EventLogFileC& log) {
    log.Log(ModuleCoreC::kClosePortLine);
    module.LeaveCommandMode(resetOnLeave_);
    resetOnLeave_ = false;
    module.ClosePort();
}

bool ModuleCommandC::Succeeded(ModemReportC& report, const ModuleResultS& result) {
    if (!result.ok()) {
        Fail(report, ExitStatusT::RadioFailed, result.text, result.box);
    }
    return result.ok();
}

void ModuleCommandC::Read(ModuleCoreC& module, ModemReportC& report) {
    ModuleProfileC settings;
    std::string address;
    if (!ReadSettings(module, report, settings, address)) {
        return;
    }
    report.Set("name", settings.name);
    report.Set("address", address);
    report.Set("moduleBaud", settings.moduleBaud);
    report.Set("role", settings.role);
    report.Set("pcBaud", std::atoi(pcBaud_.c_str()));
    if (!options_.saveProfile.empty()) {
        if (const std::string error = settings.Save(options_.saveProfile); !error.empty()) {
            Fail(report, ExitStatusT::RadioFailed, error);
            return;
        }
        report.Set("profile", options_.saveProfile);
    }
    Status("Settings read");
}

bool ModuleCommandC::ReadSettings(ModuleCoreC& module, ModemReportC& report,
                                  ModuleProfileC& settings, std::string& address) {
    const ModuleReadS read = module.Read();
    if (!Succeeded(report, read.result)) {
        return false;
    }
    settings = SettingsOf(read);
    address = read.address;
    return true;
}

void ModuleCommandC::Write(ModuleCoreC& module, ModemReportC& report,
                           const ModuleOptionsS& wanted) {
    const ModuleWrittenS written = module.Write(WriteRequest(wanted));
    if (!written.roleAndName) {
        Succeeded(report, written.result);
        return;
    }
    resetOnLeave_ = true;
    report.Set("name", wanted.name);
    report.Set("role", wanted.role);
    if (written.moduleBaud) {
        // The PC side followed the module at once.
        pcBaud_ = std::to_string(*wanted.moduleBaud);
        report.Set("moduleBaud", static_cast<int>(*wanted.moduleBaud));
    }
    report.Set("pcBaud", std::atoi(pcBaud_.c_str()));
    if (Succeeded(report, written.result)) {
        Status(written.result.text);
    }
}

bool ModuleCommandC::FindDevices(ModuleCoreC& module, ModemReportC& report, DevicesT& devices) {
    ModuleSearchS search = module.Search(true, [this] { Status("Searching for devices ..."); });
    if (!Succeeded(report, search.result)) {
        return false;
    }
    Status(search.result.text);
    devices = std::move(search.devices);
    return true;
}

void ModuleCommandC::Search(ModuleCoreC& module, ModemReportC& report) {
    DevicesT devices;
    if (!FindDevices(module, report, devices)) {
        return;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ModuleCoreC::DeviceT& device : devices) {
        list.push_back(DeviceJson(device));
    }
    report.SetJson("devices", std::move(list));
}

void ModuleCommandC::Pair(ModuleCoreC& module, ModemReportC& report) {
    DevicesT devices;
    if (!FindDevices(module, report, devices) || StopRequested(report)) {
        return;
    }
    const auto found = std::find_if(devices.begin(), devices.end(), [this](const auto& device) {
        return SameAddress(ModuleCoreC::Address(device), options_.address);
    });
    const ModuleResultS paired = found == devices.end()
                                     ? ModuleCoreC::Failure(ModuleCoreC::kPairFailed)
                                     : module.Pair(*found);
    if (!Succeeded(report, paired)) {
        return;
    }
    report.Set("name", ModuleCoreC::Name(*found));
    report.Set("address", ModuleCoreC::Address(*found));
    Status(paired.text);
}

void ModuleCommandC::Paired(ModuleCoreC& module, ModemReportC& report) {
    const ModulePairedS paired = module.PairedDevice();
    if (!Succeeded(report, paired.result)) {
        return;
    }
    report.Set("name", ModuleCoreC::Name(paired.device));
    report.Set("address", ModuleCoreC::Address(paired.device));
    Status(paired.result.text);
}

void ModuleCommandC::Version(ModuleCoreC& module, ModemReportC& report) {
    const ModuleVersionS version = module.Version();
    if (!Succeeded(report, version.result)) {
        return;
    }
    report.SetJson("versions", nlohmann::ordered_json(version.texts));
}

bool ModuleCommandC::StopRequested(ModemReportC& report) {
    if (!stop_) {
        return false;
    }
    if (report.status() != ExitStatusT::Cancelled) {
        Fail(report, ExitStatusT::Cancelled, "Cancelled.");
    }
    return true;
}

void ModuleCommandC::Status(const std::string& text) {
    std::lock_guard guard(errLock_);
    streams_.err << TextsC::ForTerminal(text) << std::endl;
}

void ModuleCommandC::Fail(ModemReportC& report, ExitStatusT status, const std::string& text,
                          const std::string& messageBox) {
    report.Fail(status, text);
    if (log_ != nullptr && status != ExitStatusT::Cancelled) {
        log_->Log("ERROR: " + text);
    }
    if (!messageBox.empty()) {
        messages_.push_back({kCaption, messageBox});
    }
}

void ModuleCommandC::Print(const ModemReportC& report) const {
    if (options_.json) {
        report.PrintJson(streams_.out, messages_);
        // Standard error tells a person what the object tells a script.
        report.PrintError(streams_.err, streams_.errPrefix);
    } else {
        report.PrintText(streams_.out, streams_.err);
    }
}

// Written the way write does, then read back over the same connection: the module answers
// with the settings in effect, which the reset on leaving makes the stored ones.
void ModuleCommandC::Apply(ModuleCoreC& module, ModemReportC& report) {
    ModuleProfileC radio;
    std::string address;
    if (!ReadSettings(module, report, radio, address)) {
        return;
    }
    report.Set("address", address);
    const ProfileDiffC changes(radio.Settings(), profile_.Settings());
    report.SetJson("changes", changes.Json("from", "to"));
    if (options_.dryRun || StopRequested(report)) {
        return;
    }
    ModuleOptionsS wanted = options_;
    profile_.ToWriteOptions(wanted);
    Write(module, report, wanted);
    const std::string writeError = report.status() == ExitStatusT::Success ? "" : report.error();
    const ModuleReadS readBack = module.Read();
    if (!readBack.result.ok()) {
        Fail(report, ExitStatusT::RadioFailed,
             (writeError.empty() ? "Settings written" : writeError) +
                 ", and the settings could not be read back");
        return;
    }
    const ProfileDiffC notTaken(SettingsOf(readBack).Settings(), profile_.Settings());
    report.SetJson("failed", notTaken.Json("read", "wanted"));
    if (!notTaken.empty()) {
        Fail(report, ExitStatusT::RadioFailed,
             (writeError.empty() ? "" : writeError + "; ") +
                 "settings that did not take: " + notTaken.Names());
    }
}
