#include "moduleui/BasicSettingsCoreC.h"

#include "moduleui/ModuleBaudCodesC.h"
#include "moduleui/ModuleDialogCoreC.h"

#include <functional>
#include <vector>

using namespace ORC::CFG;

namespace {

// The result the page gives an operation it could not start.
constexpr int32_t kNotInCommandMode = 6;

// Runs the calls in order while each succeeds; the result is that of the last call made.
int32_t RunWhileOk(const std::vector<std::function<int32_t()>>& calls) {
    int32_t result = CFG_OK;
    for (const auto& call : calls) {
        if (result != CFG_OK) {
            break;
        }
        result = call();
    }
    return result;
}

} // namespace

BasicSettingsCoreC::BasicSettingsCoreC(ModuleDialogCoreC* dialog, ControllerT* controller,
                                       ModuleViewI& view)
    : ModuleTabCoreC(dialog, controller, view) {}

void BasicSettingsCoreC::OnInitDialog() {
    baudBox.Clear();
    if (dialog_ != nullptr) {
        baudBox.SetEntries(dialog_->baudRates);
    }
    SetEnabled(false);
}

void BasicSettingsCoreC::TakeMembers() {
    view_.TakeControls();
    moduleBaudText = baudBox.SelectedText();
}

void BasicSettingsCoreC::ShowMembers() {
    ModuleDialogCoreC::ShowTextIn(baudBox, moduleBaudText);
    view_.ShowControls();
}

void BasicSettingsCoreC::SetEnabled(bool on) {
    ModuleTabCoreC::SetEnabled(on);
    moduleBaudText = baudBox.SelectedText();
    controlsEnabled = on;
    ShowMembers();
}

void BasicSettingsCoreC::Read() {
    const int32_t result = CanTalk() ? ReadFromModule() : kNotInCommandMode;
    if (dialog_ != nullptr) {
        dialog_->SetTabsClientRole(deviceRole == kClientRole);
    }
    if (result == CFG_OK) {
        ShowMembers();
        ShowStatus("Settings read");
    } else {
        ReportFailure("Failed to read settings", "Failed to read settings");
    }
}

int32_t BasicSettingsCoreC::ReadFromModule() {
    DevNameAddressPairT device;
    int32_t result = controller_->getDeviceNameAndAddress(device);
    // A name without an address is not trusted: the page keeps what it showed.
    if (result == CFG_OK && device.m_szName[0] != '\0' && device.m_szAddress[0] != '\0') {
        localName = device.m_szName;
        btAddress = device.m_szAddress;
    }
    if (result == CFG_OK) {
        RS232SettingsS line;
        result = controller_->getRS232Settings(line);
        if (result == CFG_OK) {
            moduleBaudText = std::to_string(ModuleBaudCodesC::BaudCodeToRate(line.m_lBaudRate));
        }
    }
    if (result == CFG_OK) {
        ConnectionProfileT client = PROFILE_NONE;
        ConnectionProfileT server = PROFILE_NONE;
        result = controller_->getDefaultClientProfile(client);
        if (result == CFG_OK) {
            result = controller_->getDefaultServerProfile(server);
        }
        if (result == CFG_OK) {
            if (client == PROFILE_NONE && server == PROFILE_NONE) {
                deviceRole = kNoRole;
            } else if (client == PROFILE_SERIAL_PORT) {
                deviceRole = kClientRole;
            } else if (server == PROFILE_SERIAL_PORT) {
                deviceRole = kServerRole;
            }
        }
    }
    return result;
}

void BasicSettingsCoreC::Write() {
    TakeMembers();
    if (localName.empty()) {
        ShowStatus("Settings not written: Local Name is empty");
        return;
    }
    if (deviceRole == kNoRole) {
        ShowStatus("Settings not written: Device Role not specified");
        return;
    }
    if (localName.size() > kMaxNameLength) {
        view_.MessageBox(
            "Local Name is too long (max " + std::to_string(kMaxNameLength) + " chars)!", kCaption);
        return;
    }
    const bool changeBaud = !moduleBaudText.empty();
    const int32_t baudCode = changeBaud ? ModuleBaudCodesC::BaudTextToCode(moduleBaudText) : 0;
    int32_t result = kNotInCommandMode;
    // A rate without a code fails the write before anything is sent, so that the module is
    // not left with a new role and name but the old rate.
    if ((!changeBaud || baudCode != 0) && CanTalk()) {
        result = WriteRoleAndName();
        if (result == CFG_OK && dialog_ != nullptr) {
            dialog_->SetResetOnLeave();
        }
        if (result == CFG_OK && changeBaud) {
            result = WriteBaudRate(baudCode);
        }
    }
    if (result == CFG_OK) {
        if (dialog_ != nullptr) {
            dialog_->SetTabsClientRole(deviceRole == kClientRole);
        }
        ShowStatus("Settings written");
    } else {
        ReportFailure("Failed to write settings", "Failed to write settings");
    }
}

int32_t BasicSettingsCoreC::WriteRoleAndName() {
    ControllerT& c = *controller_;
    const bool client = deviceRole == kClientRole;
    std::vector<std::function<int32_t()>> calls;
    if (client) {
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
    std::string name = localName;
    calls.push_back([&] { return c.setDeviceName(name.data(), true); });
    calls.push_back(
        [&] { return c.setServiceName(PROFILE_SERIAL_PORT, localName.c_str(), false); });
    return RunWhileOk(calls);
}

int32_t BasicSettingsCoreC::WriteBaudRate(int32_t code) {
    RS232SettingsS line;
    line.m_lBaudRate = code;
    const int32_t result = controller_->setRS232Settings(line, true, true);
    if (result == CFG_OK && dialog_ != nullptr) {
        // The PC side follows at once, so the dialog, the next connection and the stored rate
        // use the new one.
        dialog_->SetBaudText(moduleBaudText);
        dialog_->SetResetOnLeave();
    }
    return result;
}
