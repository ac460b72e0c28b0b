#include "moduleui/ModuleDialogCoreC.h"

#include "moduleui/ModuleBaudCodesC.h"
#include "moduleui/ModuleTabCoreC.h"
#include "platform/PortEnumerator.h"
#include "platform/PortNames.h"

using ORC::CFG::CFG_OK;
using ORC::CFG::RS232SettingsS;

namespace {

constexpr int kOpenFailed = 2;

std::string ConnectFailedStatus(const std::string& baud) {
    return "Connect with " + baud + " baud failed";
}

} // namespace

ModuleDialogCoreC::ModuleDialogCoreC(EventLogFileC& log, ModuleDialogViewI& view,
                                     ControllerT& controller)
    : log_(log), view_(view), controller_(controller) {}

void ModuleDialogCoreC::AddPages(ModuleTabCoreC& settingsPage, ModuleTabCoreC& searchPage) {
    pages_[0] = &settingsPage;
    pages_[1] = &searchPage;
}

void ModuleDialogCoreC::ShowTextIn(ComboBoxModelC& box, const std::string& text) {
    const std::string kept = box.Text();
    if (!box.SelectPrefix(text)) {
        box.SetText(kept);
    }
}

void ModuleDialogCoreC::OnInitDialog(const std::vector<std::string>& ports,
                                     const std::string& storedPort, const std::string& storedBaud) {
    portText = storedPort.empty() ? "1" : storedPort;
    baudText = storedBaud.empty() ? "115200" : storedBaud;
    FillPortList(ports);
    baudBox.Clear();
    baudBox.SetEntries(baudRates);
    SetPortOpen(false);
    SetCommandMode(false);
    SetStatus(kSelectPortStatus);
    ShowMembers();
}

// The stored text selects its entry; a stored COM number also selects the device it names
// ("1" is ttyS0). A network port is never listed, so it stays the box's text; any other text
// selects the first entry.
void ModuleDialogCoreC::FillPortList(const std::vector<std::string>& ports) {
    portBox.SetEntries(ports);
    int selected = portBox.Find(portText);
    for (int i = 0; selected < 0 && i < portBox.Count(); ++i) {
        if (oryx::platform::PortNames::samePort(ports[i], portText)) {
            selected = i;
        }
    }
    if (selected < 0 && oryx::platform::PortNames::isNetworkPort(portText)) {
        portBox.SetText(portText);
    } else {
        portBox.Select(selected >= 0 ? selected : 0);
    }
}

void ModuleDialogCoreC::FollowPortList(const std::vector<std::string>& ports) {
    if (!portBox.SetEntriesKeepingChoice(ports)) {
        FillPortList(ports);
    }
}

void ModuleDialogCoreC::TakeMembers() {
    view_.TakeControls();
    portText = portBox.Text();
    baudText = baudBox.SelectedText();
}

void ModuleDialogCoreC::ShowMembers() {
    ShowTextIn(portBox, portText);
    ShowTextIn(baudBox, baudText);
    view_.ShowControls();
}

void ModuleDialogCoreC::SetStatus(const std::string& text) {
    status = text;
    view_.ShowControls();
}

void ModuleDialogCoreC::LogFailure(const std::string& text) {
    log_.Log("ERROR: " + text);
}

void ModuleDialogCoreC::SetPortOpen(bool open) {
    if (!open && portOpen) {
        controller_.closePort();
    }
    portOpen = open;
    connectLabel = open ? kDisconnectLabel : kConnectLabel;
    portBox.SetEnabled(!open);
    baudBox.SetEnabled(!open);
    view_.ShowControls();
}

bool ModuleDialogCoreC::SetCommandMode(bool enter) {
    if (enter && !commandMode) {
        view_.SetWaitCursor(true);
        if (controller_.switchToCommandMode() == CFG_OK) {
            commandMode = true;
        }
        view_.SetWaitCursor(false);
    } else if (!enter && commandMode) {
        view_.SetWaitCursor(true);
        LeaveCommandMode();
        commandMode = false;
        view_.SetWaitCursor(false);
    }
    tabsEnabled = commandMode;
    for (ModuleTabCoreC* page : pages_) {
        if (page != nullptr) {
            page->SetEnabled(commandMode);
        }
    }
    view_.ShowControls();
    return commandMode == enter;
}

// Written settings take effect only when the module restarts, so after a write it is reset
// instead of being returned to data mode.
void ModuleDialogCoreC::LeaveCommandMode() {
    if (resetOnLeave) {
        controller_.resetModule();
        resetOnLeave = false;
        ShowMembers();
    } else if (controller_.switchToDataMode() != CFG_OK) {
        controller_.switchToDataMode();
    }
}

int ModuleDialogCoreC::OpenPort(const std::string& baud, bool flowControlOn) {
    log_.Log("ORYX_64_CfgDlgC::OpenPort");
    controller_.closePort();
    TakeMembers();
    RS232SettingsS settings;
    settings.m_lBaudRate = ModuleBaudCodesC::BaudTextToCode(baud);
    settings.m_lFlowControl = flowControlOn ? ORC::CFG::FLOW_RTS_CTS : ORC::CFG::FLOW_NONE;
    if (controller_.createPort(portText.c_str(), settings) != CFG_OK) {
        return kOpenFailed;
    }
    if (controller_.openPort() != CFG_OK) {
        return kOpenFailed;
    }
    return 0;
}

bool ModuleDialogCoreC::TryConnect(bool flowControlOn) {
    if (OpenPort(baudText, flowControlOn) != 0) {
        return false;
    }
    SetPortOpen(true);
    if (SetCommandMode(true)) {
        return true;
    }
    ClosePort();
    return false;
}

bool ModuleDialogCoreC::ConnectWithFallback() {
    const bool flowControlOn = flowText != "None";
    if (TryConnect(flowControlOn)) {
        return true;
    }
    SetStatus(ConnectFailedStatus(baudText));
    const std::string firstTried = baudText;
    for (const std::string& entry : baudRates) {
        if (entry == firstTried) {
            continue;
        }
        SetBaudText(entry);
        if (TryConnect(flowControlOn)) {
            return true;
        }
        SetStatus(ConnectFailedStatus(entry));
    }
    SetBaudText(firstTried);
    return false;
}

int ModuleDialogCoreC::ClosePort() {
    log_.Log("ORYX_64_CfgDlgC::ClosePort");
    SetCommandMode(false);
    SetPortOpen(false);
    return 0;
}

void ModuleDialogCoreC::OnConnect() {
    log_.Log("ORYX_64_CfgDlgC::OnConnect");
    TakeMembers();
    if (portOpen) {
        ClosePort();
        SetStatus(kSelectPortStatus);
        return;
    }
    connectEnabled = false;
    view_.ShowControls();
    if (const oryx::platform::SerialError problem =
            oryx::platform::PortEnumerator::openProblem(portText);
        !problem.ok()) {
        const std::string text =
            "Cannot open port " + oryx::platform::PortNames::displayName(portText) + "!";
        SetStatus(text);
        // A device server fails for reasons of its own (host not found, connection refused,
        // no serial port control) that the plain text would not tell.
        const bool network = oryx::platform::PortNames::isNetworkPort(portText);
        LogFailure(network ? text + " " + problem.message : text);
        view_.MessageBox(network ? text + "\n" + problem.message : text, kCaption);
    } else if (ConnectWithFallback()) {
        view_.FocusSettingsPage();
    } else {
        SetStatus("Connect failed!");
        LogFailure("Connect failed!");
        view_.MessageBox("Connect failed!", kCaption);
    }
    connectEnabled = true;
    view_.ShowControls();
}

void ModuleDialogCoreC::CheckCommandMode() {
    if (!controller_.isCommandMode()) {
        SetCommandMode(false);
    }
}

void ModuleDialogCoreC::StorePortSettings(const char* closeLine) {
    log_.Log(closeLine);
    TakeMembers();
    view_.StorePortSettings(portText, baudText, flowText);
    ClosePort();
}

void ModuleDialogCoreC::SetTabsClientRole(bool clientRole) {
    for (ModuleTabCoreC* page : pages_) {
        if (page != nullptr) {
            page->SetClientRole(clientRole);
        }
    }
}

void ModuleDialogCoreC::SetBaudText(const std::string& text) {
    baudText = text;
    ShowTextIn(baudBox, baudText);
    view_.ShowControls();
}
