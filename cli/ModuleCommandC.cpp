#include "cli/ModuleCommandC.h"

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "ORC_WireTap.h"
#include "cli/ModuleBaudC.h"
#include "cli/ProfileDiffC.h"
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
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

using namespace ORC::CFG;

namespace {

using namespace std::chrono_literals;

// The rates the connect tries after the first, in this order.
const std::vector<std::string> kBaudRates = {"4800", "9600", "19200", "57600", "115200"};
constexpr std::size_t kMaxNameLength = 15;
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

// The module's texts are terminated within their fields; a field without a terminator must
// still not be read past its end.
template <std::size_t N> std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

nlohmann::ordered_json DeviceJson(const DevNameAddressPairT& device) {
    return {{"name", FieldText(device.m_szName)}, {"address", FieldText(device.m_szAddress)}};
}

std::string DeviceText(const DevNameAddressPairT& device) {
    return FieldText(device.m_szName) + " (" + FieldText(device.m_szAddress) + ")";
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
    EventLogFileC log(options_.eventLog, EventLogFileC::kMaxLines);
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

// Name and role are checked in the order the settings page checks them; the rate is checked
// here too, so that a write never stops half-way for a rate it could have refused up front.
std::string ModuleCommandC::UsageFailure() {
    if (options_.operation == ModuleOptionsS::OperationT::Apply) {
        return ModuleProfileC::Load(options_.profile, profile_);
    }
    if (options_.operation != ModuleOptionsS::OperationT::Write) {
        return {};
    }
    if (options_.name.empty()) {
        return "Settings not written: Local Name is empty";
    }
    if (options_.role.empty()) {
        return "Settings not written: Device Role not specified";
    }
    if (options_.name.size() > kMaxNameLength) {
        return "Local Name is too long (max " + std::to_string(kMaxNameLength) + " chars)!";
    }
    if (options_.moduleBaud && ModuleBaudC::ToCode(*options_.moduleBaud) == 0) {
        return "Failed to write settings";
    }
    return {};
}

// Success, or Cancelled when the run did not end within the grace after Ctrl-C; then it is
// left running.
ExitStatusT ModuleCommandC::WaitForRun(std::function<void()> run) {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::thread worker([&] {
        run();
        std::lock_guard guard(lock);
        done = true;
        ended.notify_all();
    });
    std::unique_lock guard(lock);
    std::optional<std::chrono::steady_clock::time_point> giveUpAt;
    while (!done) {
        ended.wait_for(guard, kCancelPoll);
        if (!giveUpAt && cancelRequested_()) {
            stop_ = true;
            giveUpAt = std::chrono::steady_clock::now() + kStopGrace;
        }
        if (!done && giveUpAt && std::chrono::steady_clock::now() >= *giveUpAt) {
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
    ControllerT controller;
    log.Log("ORYX_64_CfgDlgC::OnConnect");
    if (!Connect(controller, log, report)) {
        return;
    }
    if (!StopRequested(report)) {
        switch (options_.operation) {
        case ModuleOptionsS::OperationT::Read:
            Read(controller, report);
            break;
        case ModuleOptionsS::OperationT::Write:
            Write(controller, report, options_);
            break;
        case ModuleOptionsS::OperationT::Search:
            Search(controller, report);
            break;
        case ModuleOptionsS::OperationT::Pair:
            Pair(controller, report);
            break;
        case ModuleOptionsS::OperationT::Paired:
            Paired(controller, report);
            break;
        case ModuleOptionsS::OperationT::Version:
            Version(controller, report);
            break;
        case ModuleOptionsS::OperationT::Apply:
            Apply(controller, report);
            break;
        }
    }
    Leave(controller, log);
}

bool ModuleCommandC::Connect(ControllerT& controller, EventLogFileC& log, ModemReportC& report) {
    const std::string first = options_.baud;
    if (TryConnect(controller, log, first)) {
        return true;
    }
    Status("Connect with " + first + " baud failed");
    for (const std::string& baud : kBaudRates) {
        if (baud == first) {
            continue;
        }
        if (StopRequested(report)) {
            return false;
        }
        if (TryConnect(controller, log, baud)) {
            return true;
        }
        Status("Connect with " + baud + " baud failed");
    }
    if (!StopRequested(report)) {
        Fail(report, ExitStatusT::ConnectFailed, "Connect failed!", "Connect failed!");
    }
    return false;
}

bool ModuleCommandC::TryConnect(ControllerT& controller, EventLogFileC& log,
                                const std::string& baud) {
    log.Log("ORYX_64_CfgDlgC::OpenPort");
    controller.closePort();
    RS232SettingsS settings;
    settings.m_lBaudRate = ModuleBaudC::ToCode(std::strtoul(baud.c_str(), nullptr, 10));
    settings.m_lFlowControl = FLOW_NONE;
    if (controller.createPort(options_.port.c_str(), settings) != CFG_OK ||
        controller.openPort() != CFG_OK) {
        return false;
    }
    if (controller.switchToCommandMode() == CFG_OK) {
        pcBaud_ = baud;
        return true;
    }
    log.Log("ORYX_64_CfgDlgC::ClosePort");
    controller.closePort();
    return false;
}

// After written settings the reset makes the module restart with them; otherwise data mode,
// asked twice at most.
void ModuleCommandC::Leave(ControllerT& controller, EventLogFileC& log) {
    log.Log("ORYX_64_CfgDlgC::ClosePort");
    if (resetOnLeave_) {
        controller.resetModule();
        resetOnLeave_ = false;
    } else if (controller.switchToDataMode() != CFG_OK) {
        controller.switchToDataMode();
    }
    controller.closePort();
}

void ModuleCommandC::Read(ControllerT& controller, ModemReportC& report) {
    const std::string failed = "Failed to read settings";
    ModuleProfileC settings;
    std::string address;
    if (!ReadSettings(controller, settings, address)) {
        Fail(report, ExitStatusT::RadioFailed, failed, failed);
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

bool ModuleCommandC::ReadSettings(ControllerT& controller, ModuleProfileC& settings,
                                  std::string& address) {
    if (!controller.isCommandMode()) {
        return false;
    }
    DevNameAddressPairT device;
    if (controller.getDeviceNameAndAddress(device) != CFG_OK) {
        return false;
    }
    // A name without an address is not taken, as on the settings page.
    const bool named = device.m_szName[0] != '\0' && device.m_szAddress[0] != '\0';
    RS232SettingsS line;
    ConnectionProfileT client = PROFILE_NONE;
    ConnectionProfileT server = PROFILE_NONE;
    if (controller.getRS232Settings(line) != CFG_OK ||
        controller.getDefaultClientProfile(client) != CFG_OK ||
        controller.getDefaultServerProfile(server) != CFG_OK) {
        return false;
    }
    settings.role = "none";
    if (client == PROFILE_SERIAL_PORT) {
        settings.role = "client";
    } else if (server == PROFILE_SERIAL_PORT) {
        settings.role = "server";
    }
    settings.name = named ? FieldText(device.m_szName) : std::string();
    address = named ? FieldText(device.m_szAddress) : std::string();
    settings.moduleBaud = static_cast<int>(ModuleBaudC::ToRate(line.m_lBaudRate));
    return true;
}

void ModuleCommandC::Write(ControllerT& controller, ModemReportC& report,
                           const ModuleOptionsS& wanted) {
    const std::string failed = "Failed to write settings";
    if (!controller.isCommandMode()) {
        Fail(report, ExitStatusT::RadioFailed, failed, failed);
        return;
    }
    if (WriteRoleAndName(controller, wanted) != CFG_OK) {
        Fail(report, ExitStatusT::RadioFailed, failed, failed);
        return;
    }
    resetOnLeave_ = true;
    report.Set("name", wanted.name);
    report.Set("role", wanted.role);
    if (wanted.moduleBaud) {
        RS232SettingsS line;
        line.m_lBaudRate = ModuleBaudC::ToCode(*wanted.moduleBaud);
        if (controller.setRS232Settings(line, true, true) != CFG_OK) {
            Fail(report, ExitStatusT::RadioFailed, failed, failed);
            report.Set("pcBaud", std::atoi(pcBaud_.c_str()));
            return;
        }
        // The PC side followed the module at once.
        pcBaud_ = std::to_string(*wanted.moduleBaud);
        report.Set("moduleBaud", static_cast<int>(*wanted.moduleBaud));
    }
    report.Set("pcBaud", std::atoi(pcBaud_.c_str()));
    Status("Settings written");
}

// Each call runs only while the ones before it succeeded; what was written stays written.
int32_t ModuleCommandC::WriteRoleAndName(ControllerT& c, const ModuleOptionsS& wanted) {
    std::vector<std::function<int32_t()>> steps;
    if (wanted.role == "client") {
        steps = {
            [&] { return c.configureConnectabilityMode(ConnectabilityModeT(1), true); },
            [&] { return c.configureDiscoverabilityMode(DiscoverabilityModeT(1), true); },
            [&] { return c.configureDefaultClientProfile(PROFILE_SERIAL_PORT, true); },
            [&] { return c.configureNoRemotePeers(1, true); },
            [&] { return c.configureDefaultServerProfile(PROFILE_NONE, true); },
        };
    } else {
        steps = {
            [&] { return c.configureConnectabilityMode(ConnectabilityModeT(2), true); },
            [&] { return c.configureDiscoverabilityMode(DiscoverabilityModeT(3), true); },
            [&] { return c.configureNoRemotePeers(0, true); },
            [&] { return c.configureDefaultClientProfile(PROFILE_NONE, true); },
            [&] { return c.configureDefaultServerProfile(PROFILE_SERIAL_PORT, true); },
        };
    }
    std::vector<char> name(wanted.name.begin(), wanted.name.end());
    name.push_back('\0');
    steps.push_back([&] { return c.setDeviceName(name.data(), true); });
    steps.push_back(
        [&] { return c.setServiceName(PROFILE_SERIAL_PORT, wanted.name.c_str(), false); });
    for (const auto& step : steps) {
        if (const int32_t result = step(); result != CFG_OK) {
            return result;
        }
    }
    return CFG_OK;
}

bool ModuleCommandC::FindDevices(ControllerT& controller, ModemReportC& report, DevicesT& devices) {
    if (!controller.isCommandMode()) {
        Fail(report, ExitStatusT::RadioFailed, "Failed to search devices",
             "Failed to search device");
        return false;
    }
    ConnectionProfileT client = PROFILE_NONE;
    controller.getDefaultClientProfile(client);
    if (client != PROFILE_SERIAL_PORT) {
        Fail(report, ExitStatusT::RadioFailed, "Search and Pairing only in Client mode!");
        return false;
    }
    Status("Searching for devices ...");
    devices.reserve(20);
    // The list decides: the library also fails a search that found nothing. A module that
    // vanished mid-search must not pass for an empty or a smaller neighbourhood, though.
    controller.searchDevices(devices);
    if (!controller.isCommandMode()) {
        Fail(report, ExitStatusT::RadioFailed, "Failed to search devices",
             "Failed to search device");
        return false;
    }
    Status(devices.empty()
               ? std::string("Search finished, no devices found")
               : "Search finished, " + std::to_string(devices.size()) + " devices found");
    return true;
}

void ModuleCommandC::Search(ControllerT& controller, ModemReportC& report) {
    DevicesT devices;
    if (!FindDevices(controller, report, devices)) {
        return;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const DevNameAddressPairT& device : devices) {
        list.push_back(DeviceJson(device));
    }
    report.SetJson("devices", std::move(list));
}

void ModuleCommandC::Pair(ControllerT& controller, ModemReportC& report) {
    DevicesT devices;
    if (!FindDevices(controller, report, devices) || StopRequested(report)) {
        return;
    }
    const auto found = std::find_if(devices.begin(), devices.end(), [this](const auto& device) {
        return SameAddress(FieldText(device.m_szAddress), options_.address);
    });
    const std::string failed = "Pairing failed with current selection";
    if (found == devices.end() || controller.pairDevice(*found, true) != CFG_OK) {
        Fail(report, ExitStatusT::RadioFailed, failed, failed);
        return;
    }
    report.Set("name", FieldText(found->m_szName));
    report.Set("address", FieldText(found->m_szAddress));
    Status("Paired with " + DeviceText(*found));
}

void ModuleCommandC::Paired(ControllerT& controller, ModemReportC& report) {
    if (!controller.isCommandMode()) {
        Fail(report, ExitStatusT::RadioFailed, "Failed to read settings",
             "Failed to read settings");
        return;
    }
    DevNameAddressPairT device;
    if (controller.getPairedDevice(device) != CFG_OK) {
        Fail(report, ExitStatusT::RadioFailed, "Device is currently not paired");
        return;
    }
    report.Set("name", FieldText(device.m_szName));
    report.Set("address", FieldText(device.m_szAddress));
    Status("Settings read");
}

void ModuleCommandC::Version(ControllerT& controller, ModemReportC& report) {
    const std::string failed = "Failed to read version information";
    // Five texts of 2000 bytes: too big for the run's stack to hold comfortably twice.
    auto version = std::make_unique<VersionInformationS>();
    if (!controller.isCommandMode() || controller.getVersionInformation(*version) != CFG_OK) {
        Fail(report, ExitStatusT::RadioFailed, failed);
        return;
    }
    nlohmann::ordered_json texts = nlohmann::ordered_json::array();
    for (const auto& field : version->m_szFields) {
        texts.push_back(FieldText(field));
    }
    report.SetJson("versions", std::move(texts));
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
    streams_.err << text << std::endl;
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
    } else {
        report.PrintText(streams_.out, streams_.err);
    }
}

// Written the way write does, then read back over the same connection: the module answers
// with the settings in effect, which the reset on leaving makes the stored ones.
void ModuleCommandC::Apply(ControllerT& controller, ModemReportC& report) {
    const std::string failed = "Failed to read settings";
    ModuleProfileC radio;
    std::string address;
    if (!ReadSettings(controller, radio, address)) {
        Fail(report, ExitStatusT::RadioFailed, failed, failed);
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
    Write(controller, report, wanted);
    const std::string writeError = report.status() == ExitStatusT::Success ? "" : report.error();
    if (!ReadSettings(controller, radio, address)) {
        Fail(report, ExitStatusT::RadioFailed,
             (writeError.empty() ? "Settings written" : writeError) +
                 ", and the settings could not be read back");
        return;
    }
    const ProfileDiffC notTaken(radio.Settings(), profile_.Settings());
    report.SetJson("failed", notTaken.Json("read", "wanted"));
    if (!notTaken.empty()) {
        Fail(report, ExitStatusT::RadioFailed,
             (writeError.empty() ? "" : writeError + "; ") +
                 "settings that did not take: " + notTaken.Names());
    }
}
