#include "moduleui/ModuleDialogCoreC.h"

#include "module/ModuleBaudC.h"
#include "moduleui/HandedBackWatchC.h"
#include "moduleui/ModuleTabCoreC.h"
#include "platform/PortEnumerator.h"
#include "platform/PortNames.h"

ModuleDialogCoreC::ModuleDialogCoreC(EventLogFileC& log, ModuleDialogViewI& view,
                                     ControllerT& controller)
    : log_(log), view_(view), module_(controller, &log) {}

void ModuleDialogCoreC::AddPages(ModuleTabCoreC& settingsPage, ModuleTabCoreC& searchPage) {
    pages_[0] = &settingsPage;
    pages_[1] = &searchPage;
}

void ModuleDialogCoreC::OnInitDialog(const std::vector<std::string>& ports,
                                     const std::string& storedPort, const std::string& storedBaud) {
    portText = storedPort.empty() ? "1" : storedPort;
    baudText = storedBaud.empty() ? "115200" : storedBaud;
    FillPortList(ports);
    baudBox.Clear();
    baudBox.SetEntries(ModuleBaudC::ConnectRates());
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

// A chosen port that leaves the list is most likely unplugged for a moment: it stays the
// choice (shown as not present) so that closing does not store some other port, and it is
// chosen again when it comes back.
void ModuleDialogCoreC::FollowPortList(const std::vector<std::string>& ports) {
    if (!portBox.SetEntriesRememberingChoice(ports)) {
        FillPortList(ports);
    }
}

void ModuleDialogCoreC::TakeMembers() {
    view_.TakeControls();
    portText = portBox.Text();
    baudText = baudBox.SelectedText();
}

void ModuleDialogCoreC::ShowMembers() {
    portBox.SelectPrefixOrKeep(portText);
    baudBox.SelectPrefixOrKeep(baudText);
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
        module_.ClosePort();
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
        commandMode = module_.EnterCommandMode();
        view_.SetWaitCursor(false);
    } else if (!enter && commandMode) {
        view_.SetWaitCursor(true);
        LeaveCommandMode();
        commandMode = false;
        view_.SetWaitCursor(false);
    }
    ShowCommandMode();
    return commandMode == enter;
}

// Switching the pages on makes the search page ask the module for its role.
void ModuleDialogCoreC::ShowCommandMode() {
    tabsEnabled = commandMode;
    for (ModuleTabCoreC* page : pages_) {
        if (page != nullptr) {
            page->SetEnabled(commandMode);
        }
    }
    view_.ShowControls();
}

// Written settings take effect only when the module restarts, so after a write it is reset
// instead of being returned to data mode.
void ModuleDialogCoreC::LeaveCommandMode() {
    module_.LeaveCommandMode(resetOnLeave);
    if (resetOnLeave) {
        resetOnLeave = false;
        ShowMembers();
    }
}

bool ModuleDialogCoreC::ConnectWithFallback() {
    const std::string firstTried = baudText;
    ModuleConnectedS connected;
    HandedBackWatchC watch(*this, view_);
    view_.Await(
        [&] { connected = module_.Connect(portText, firstTried, flowText != "None", watch); });
    if (!connected.result.ok()) {
        SetBaudText(firstTried);
    }
    return connected.result.ok();
}

void ModuleDialogCoreC::Trying(const std::string& baud) {
    SetBaudText(baud);
}

void ModuleDialogCoreC::PortOpened() {
    SetPortOpen(true);
    view_.SetWaitCursor(true);
}

void ModuleDialogCoreC::CommandModeEntered(bool entered) {
    commandMode = entered;
    view_.SetWaitCursor(false);
    ShowCommandMode();
}

void ModuleDialogCoreC::PortClosing() {
    SetCommandMode(false);
    SetPortOpen(false);
}

void ModuleDialogCoreC::AttemptFailed(const std::string& text) {
    SetStatus(text);
}

int ModuleDialogCoreC::ClosePort() {
    log_.Log(ModuleCoreC::kClosePortLine);
    SetCommandMode(false);
    SetPortOpen(false);
    return 0;
}

void ModuleDialogCoreC::ShowFound(const DiscoveredPortS& found) {
    portText = found.port;
    portBox.SetText(found.port);
    if (const int rate = baudBox.Find(found.baud); rate >= 0) {
        baudBox.Select(rate);
        baudText = found.baud;
    }
    SetStatus("Found a module on " + oryx::platform::PortNames::displayName(found.port) + " at " +
              found.baud + " baud; press Connect");
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
        // The reason (no port chosen, in use by another program, a device server's host not
        // found) is what the user can act on; the plain text would not tell it.
        const std::string text =
            portText.empty()
                ? "No port chosen!"
                : "Cannot open port " + oryx::platform::PortNames::displayName(portText) + "!";
        SetStatus(text);
        LogFailure(text + " " + problem.message);
        view_.MessageBox(portText.empty() ? problem.message : text + "\n" + problem.message,
                         kCaption);
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
    if (!module_.Answers()) {
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
    baudBox.SelectPrefixOrKeep(baudText);
    view_.ShowControls();
}
