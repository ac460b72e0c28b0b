#include "module/ModuleCoreC.h"

#include "common/EventLogFileC.h"
#include "module/ModuleBaudC.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

using namespace ORC::CFG;

namespace {

// The module's texts are terminated within their fields; a field without a terminator must
// still not be read past its end.
template <std::size_t N> std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

ModuleResultS Done(std::string text = {}) {
    return {ModuleOutcomeT::Done, std::move(text), {}};
}

std::string ConnectFailedText(const std::string& baud) {
    return "Connect with " + baud + " baud failed";
}

// Runs the calls in order while each succeeds; the result is that of the last call made.
int32_t RunWhileOk(const std::vector<std::function<int32_t()>>& calls) {
    for (const auto& call : calls) {
        if (const int32_t result = call(); result != CFG_OK) {
            return result;
        }
    }
    return CFG_OK;
}

} // namespace

ModuleCoreC::ModuleCoreC(ControllerT& controller, EventLogFileC* log)
    : controller_(controller), log_(log) {}

void ModuleCoreC::LogLine(const char* line) {
    if (log_ != nullptr) {
        log_->Log(line);
    }
}

ModuleConnectedS ModuleCoreC::Connect(const std::string& port, const std::string& firstBaud,
                                      bool flowControl, ModuleConnectWatchI& watch) {
    if (TryConnect(port, firstBaud, flowControl, watch)) {
        return {Done(), firstBaud};
    }
    watch.AttemptFailed(ConnectFailedText(firstBaud));
    for (const std::string& baud : ModuleBaudC::ConnectRates()) {
        if (baud == firstBaud) {
            continue;
        }
        if (watch.StopRequested()) {
            return {{ModuleOutcomeT::Stopped, "Cancelled.", {}}, {}};
        }
        watch.Trying(baud);
        if (TryConnect(port, baud, flowControl, watch)) {
            return {Done(), baud};
        }
        watch.AttemptFailed(ConnectFailedText(baud));
    }
    return {Failure("Connect failed!"), {}};
}

bool ModuleCoreC::TryConnect(const std::string& port, const std::string& baud, bool flowControl,
                             ModuleConnectWatchI& watch) {
    LogLine(kOpenPortLine);
    controller_.closePort();
    RS232SettingsS settings;
    settings.m_lBaudRate = ModuleBaudC::TextToCode(baud);
    settings.m_lFlowControl = flowControl ? FLOW_RTS_CTS : FLOW_NONE;
    if (controller_.createPort(port.c_str(), settings) != CFG_OK ||
        controller_.openPort() != CFG_OK) {
        return false;
    }
    watch.PortOpened();
    const bool entered = EnterCommandMode();
    watch.CommandModeEntered(entered);
    if (entered) {
        return true;
    }
    LogLine(kClosePortLine);
    watch.PortClosing();
    controller_.closePort();
    return false;
}

bool ModuleCoreC::EnterCommandMode() {
    return controller_.switchToCommandMode() == CFG_OK;
}

void ModuleCoreC::LeaveCommandMode(bool reset) {
    if (reset) {
        controller_.resetModule();
    } else if (controller_.switchToDataMode() != CFG_OK) {
        controller_.switchToDataMode();
    }
}

void ModuleCoreC::ClosePort() {
    controller_.closePort();
}

bool ModuleCoreC::Answers() {
    return controller_.isCommandMode();
}

bool ModuleCoreC::IsClientRole() {
    ConnectionProfileT profile = PROFILE_NONE;
    controller_.getDefaultClientProfile(profile);
    return profile == PROFILE_SERIAL_PORT;
}

ModuleReadS ModuleCoreC::ReadName() {
    ModuleReadS read;
    read.result = Failure(kReadFailed);
    DevNameAddressPairT device;
    if (!Answers() || controller_.getDeviceNameAndAddress(device) != CFG_OK) {
        return read;
    }
    read.named = device.m_szName[0] != '\0' && device.m_szAddress[0] != '\0';
    if (read.named) {
        read.name = Name(device);
        read.address = Address(device);
    }
    read.result = Done();
    return read;
}

ModuleReadS ModuleCoreC::Read() {
    ModuleReadS read = ReadName();
    if (!read.result.ok()) {
        return read;
    }
    read.result = Failure(kReadFailed);
    RS232SettingsS line;
    if (controller_.getRS232Settings(line) != CFG_OK) {
        return read;
    }
    read.moduleBaud = ModuleBaudC::ToRate(line.m_lBaudRate);
    ConnectionProfileT client = PROFILE_NONE;
    ConnectionProfileT server = PROFILE_NONE;
    if (controller_.getDefaultClientProfile(client) != CFG_OK ||
        controller_.getDefaultServerProfile(server) != CFG_OK) {
        return read;
    }
    if (client == PROFILE_NONE && server == PROFILE_NONE) {
        read.role = ModuleRoleT::None;
    } else if (client == PROFILE_SERIAL_PORT) {
        read.role = ModuleRoleT::Client;
    } else if (server == PROFILE_SERIAL_PORT) {
        read.role = ModuleRoleT::Server;
    }
    read.result = Done("Settings read");
    return read;
}

// The order of the checks is the order the settings page has always shown them in.
ModuleResultS ModuleCoreC::CheckWrite(const ModuleWriteS& wanted) {
    if (wanted.name.empty()) {
        return {ModuleOutcomeT::Refused, "Settings not written: Local Name is empty", {}};
    }
    if (wanted.role == ModuleRoleT::None) {
        return {ModuleOutcomeT::Refused, "Settings not written: Device Role not specified", {}};
    }
    if (wanted.name.size() > kMaxNameLength) {
        const std::string text =
            "Local Name is too long (max " + std::to_string(kMaxNameLength) + " chars)!";
        return {ModuleOutcomeT::Refused, text, text};
    }
    // The name travels quoted: a quote would end it early and a line end would start a
    // command of the sender's choosing.
    if (const std::string bad = UnsendableCharacter(wanted.name); !bad.empty()) {
        const std::string text = "Local Name cannot contain the character " + bad;
        return {ModuleOutcomeT::Refused, text, text};
    }
    // A rate without a code fails the write before anything is sent, so that the module is
    // not left with a new role and name but the old rate.
    if (wanted.moduleBaud && ModuleBaudC::ToCode(*wanted.moduleBaud) == 0) {
        return Failure(kWriteFailed);
    }
    return Done();
}

ModuleWrittenS ModuleCoreC::Write(const ModuleWriteS& wanted) {
    ModuleWrittenS written;
    written.result = CheckWrite(wanted);
    if (!written.result.ok()) {
        return written;
    }
    written.result = Failure(kWriteFailed);
    if (!Answers() || WriteRoleAndName(wanted) != CFG_OK) {
        return written;
    }
    written.roleAndName = true;
    if (wanted.moduleBaud) {
        RS232SettingsS line;
        line.m_lBaudRate = ModuleBaudC::ToCode(*wanted.moduleBaud);
        if (controller_.setRS232Settings(line, true, true) != CFG_OK) {
            return written;
        }
        written.moduleBaud = true;
    }
    written.result = Done("Settings written");
    return written;
}

int32_t ModuleCoreC::WriteRoleAndName(const ModuleWriteS& wanted) {
    ControllerT& c = controller_;
    std::vector<std::function<int32_t()>> calls;
    if (wanted.role == ModuleRoleT::Client) {
        calls = {
            [&] { return c.configureConnectabilityMode(CONNECTABILITY_CLIENT_ROLE, true); },
            [&] { return c.configureDiscoverabilityMode(DISCOVERABILITY_CLIENT_ROLE, true); },
            [&] { return c.configureDefaultClientProfile(PROFILE_SERIAL_PORT, true); },
            [&] { return c.configureNoRemotePeers(1, true); },
            [&] { return c.configureDefaultServerProfile(PROFILE_NONE, true); },
        };
    } else {
        calls = {
            [&] { return c.configureConnectabilityMode(CONNECTABILITY_SERVER_ROLE, true); },
            [&] { return c.configureDiscoverabilityMode(DISCOVERABILITY_SERVER_ROLE, true); },
            [&] { return c.configureNoRemotePeers(0, true); },
            [&] { return c.configureDefaultClientProfile(PROFILE_NONE, true); },
            [&] { return c.configureDefaultServerProfile(PROFILE_SERIAL_PORT, true); },
        };
    }
    // The controller takes the name as a writable text.
    std::string name = wanted.name;
    calls.push_back([&] { return c.setDeviceName(name.data(), true); });
    calls.push_back(
        [&] { return c.setServiceName(PROFILE_SERIAL_PORT, wanted.name.c_str(), false); });
    return RunWhileOk(calls);
}

// The controller also fails a search that found nothing, so the list decides. The module is
// asked once more afterwards: one that vanished mid-search would otherwise pass for an empty
// or a smaller neighbourhood.
ModuleSearchS ModuleCoreC::Search(bool clientRoleOnly, const std::function<void()>& searching) {
    ModuleSearchS search;
    search.result = {ModuleOutcomeT::Failed, kSearchFailedText, kSearchFailedBox};
    if (!Answers()) {
        return search;
    }
    if (clientRoleOnly && !IsClientRole()) {
        search.result = {ModuleOutcomeT::NotClientRole, kNotClientRoleText, {}};
        return search;
    }
    if (searching) {
        searching();
    }
    search.devices.reserve(kSearchCapacity);
    controller_.searchDevices(search.devices);
    if (!Answers()) {
        search.devices.clear();
        return search;
    }
    search.result =
        Done(search.devices.empty()
                 ? std::string("Search finished, no devices found")
                 : "Search finished, " + std::to_string(search.devices.size()) + " devices found");
    return search;
}

// The pairing command carries the device's name quoted, so a name that cannot travel there
// is refused rather than sent cut short.
ModuleResultS ModuleCoreC::Pair(const DeviceT& device) {
    if (const std::string bad = UnsendableCharacter(Name(device)); !bad.empty()) {
        const std::string text =
            "Cannot pair with " + Address(device) + ": its name contains the character " + bad;
        return {ModuleOutcomeT::Refused, text, text};
    }
    if (controller_.pairDevice(device, true) != CFG_OK) {
        return Failure(kPairFailed);
    }
    return Done("Paired with " + Describe(device));
}

ModulePairedS ModuleCoreC::PairedDevice() {
    ModulePairedS paired;
    if (!Answers()) {
        paired.result = Failure(kReadFailed);
    } else if (controller_.getPairedDevice(paired.device) != CFG_OK) {
        paired.result = {ModuleOutcomeT::NotPaired, "Device is currently not paired", {}};
    } else {
        paired.result = Done("Settings read");
    }
    return paired;
}

ModuleVersionS ModuleCoreC::Version() {
    ModuleVersionS version;
    // Five texts of 2000 bytes: too big for a worker's stack to hold comfortably.
    auto fields = std::make_unique<VersionInformationS>();
    if (!Answers() || controller_.getVersionInformation(*fields) != CFG_OK) {
        version.result = {ModuleOutcomeT::Failed, "Failed to read version information", {}};
        return version;
    }
    for (const auto& field : fields->m_szFields) {
        version.texts.push_back(FieldText(field));
    }
    version.result = Done();
    return version;
}

std::string ModuleCoreC::Name(const DeviceT& device) {
    return FieldText(device.m_szName);
}

std::string ModuleCoreC::Address(const DeviceT& device) {
    return FieldText(device.m_szAddress);
}

std::string ModuleCoreC::Describe(const DeviceT& device) {
    return Name(device) + " (" + Address(device) + ")";
}

std::string ModuleCoreC::UnsendableCharacter(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            return "\"";
        }
        if (byte >= 0x20 && byte != 0x7F) {
            continue;
        }
        switch (c) {
        case '\r':
            return "\\r";
        case '\n':
            return "\\n";
        case '\t':
            return "\\t";
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            return escaped;
        }
        }
    }
    return {};
}
