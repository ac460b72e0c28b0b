#include "modem/ModemDialogCoreC.h"

#include <cstdlib>

ModemDialogCoreC::ModemDialogCoreC(EventLogFileC& log, ModemViewI& view)
    : session_(log, view), settings_(session_), detection_(session_, settings_),
      defaults_(session_, settings_) {}

void ModemDialogCoreC::OnInitDialog(std::vector<std::string> portsThatOpen,
                                    const std::string& storedPort, const std::string& storedBaud,
                                    bool serviceMode) {
    ModemFieldsC& f = fields();
    f.portBox.SetEntries(std::move(portsThatOpen));
    f.portText = storedPort;
    f.baudText = storedBaud;
    f.serviceMode = serviceMode;
    f.modelNumber = ModemModelsC::kModel2410;
    f.currentBaud = f.baudText;
    f.settingsRead = false;
    f.connected = false;
    f.readBaudIndex = f.readLink = f.readMode = f.readDevice = -1;
    f.serviceVisible = serviceMode;
    session_.ShowDisconnectedState();
}

void ModemDialogCoreC::FollowPortList(std::vector<std::string> portsThatOpen) {
    if (!fields().portBox.SetEntriesRememberingChoice(std::move(portsThatOpen))) {
        fields().ShowPortText();
    }
}

void ModemDialogCoreC::ShowFound(const DiscoveredPortS& found) {
    ModemFieldsC& f = fields();
    f.portText = found.port;
    f.portBox.SetText(found.port);
    if (const int rate = f.baudBox.Find(found.baud); rate >= 0) {
        f.baudBox.Select(rate);
        f.baudText = found.baud;
        f.currentBaud = found.baud;
    }
    session_.view().ShowControls();
}

ModemOutcomeT ModemDialogCoreC::OnConnectButton() {
    return fields().connected ? OnDisconnect() : detection_.OnDetect();
}

ModemOutcomeT ModemDialogCoreC::OnDisconnect() {
    session_.Log("Button 'Disconnect' pressed.");
    switch (AskUnsavedSettings()) {
    case ModemViewI::AnswerT::Yes: {
        const ModemOutcomeT saved = OnSave();
        session_.Disconnect();
        return saved;
    }
    case ModemViewI::AnswerT::No:
        session_.LeaveCommandMode();
        session_.Disconnect();
        return ModemOutcomeT::Ok;
    default:
        return ModemOutcomeT::Cancelled;
    }
}

ModemOutcomeT ModemDialogCoreC::OnSave() {
    session_.Log("OnSave");
    const bool saved = settings_.SaveSettings() == RC_OK;
    const std::string& notice = settings_.saveNotice();
    std::string text = "Error. Settings not saved.";
    if (saved) {
        text = notice.empty() ? "Settings saved." : notice;
    }
    session_.view().MessageBox(text, "ORYX Config", ModemViewI::ButtonsT::Ok,
                               ModemViewI::IconT::None);
    session_.Disconnect();
    // A save that could not do all that was asked is no success for whoever asked.
    return saved && notice.empty() ? ModemOutcomeT::Ok : ModemOutcomeT::RadioFailed;
}

ModemOutcomeT ModemDialogCoreC::OnDefault() {
    session_.Log("Button 'Default' pressed.");
    ModemOutcomeT outcome = ModemOutcomeT::Ok;
    if (defaults_.RestoreDefaults(outcome) == 0) {
        PrepareClose();
    }
    return outcome;
}

bool ModemDialogCoreC::OnCloseButton() {
    session_.Log("Button 'Close' pressed.");
    return PrepareClose() == 0;
}

bool ModemDialogCoreC::OnOkKey() {
    session_.Log("Title bar button 'Ok' pressed.");
    return PrepareClose() == 0;
}

bool ModemDialogCoreC::OnCancelKey() {
    session_.Log("Title bar button 'X' pressed.");
    return PrepareClose() == 0;
}

void ModemDialogCoreC::OnServiceButton(const std::function<void()>& showServiceDialog) {
    session_.Log("Button 'Service' pressed.");
    showServiceDialog();
    session_.Log("Return from 'Service' dialog.");
}

void ModemDialogCoreC::OnAboutButton(const std::function<void()>& showAboutDialog) {
    session_.Log("Button 'About' pressed.");
    showAboutDialog();
}

void ModemDialogCoreC::OnModeOrDeviceChanged() {
    ModemFieldsC& f = fields();
    session_.TakeFieldsFromControls();
    f.modeIndex = f.modeBox.Selected();
    f.deviceIndex = f.deviceBox.Selected();
    session_.Log("Change Mode: " + f.modeText + " Device: " + f.deviceText);
    f.kvVariant = f.deviceText == ModemModelsC::kVariantDevice;
}

void ModemDialogCoreC::OnBoxSelected(ModemFieldsC::BoxT box, int index) {
    fields().box(box).Select(index);
    if (box == ModemFieldsC::BoxT::Mode || box == ModemFieldsC::BoxT::Device) {
        OnModeOrDeviceChanged();
    }
}

void ModemDialogCoreC::SetServiceSettings(const std::string& band, int power) {
    fields().band = band;
    fields().power = power;
}

ModemValuesS ModemDialogCoreC::Values() const {
    const ModemFieldsC& f = fields();
    ModemValuesS values;
    values.model = f.modelNumber;
    values.device = f.deviceBox.SelectedText();
    values.mode = f.modeBox.SelectedText();
    values.link = f.linkBox.Selected();
    values.baud = std::atoi(f.currentBaud.c_str());
    if (f.serviceMode) {
        values.band = f.band;
        values.power = f.power;
    }
    return values;
}

ModemMisfitT ModemDialogCoreC::Change(const ModemChangeS& change) {
    using BoxT = ModemFieldsC::BoxT;
    const ModemFieldsC& f = fields();
    if (const ModemMisfitT misfit = ModemModelsC::Misfit(f.modelNumber, change);
        misfit != ModemMisfitT::None) {
        return misfit;
    }
    if (change.mode) {
        OnBoxSelected(BoxT::Mode, ModemModelsC::ModeIndex(*change.mode));
    }
    if (change.device) {
        OnBoxSelected(BoxT::Device, ModemModelsC::DeviceIndex(f.modelNumber, *change.device));
    }
    if (change.link) {
        OnBoxSelected(BoxT::Link, *change.link);
    }
    if (change.baud) {
        OnBoxSelected(BoxT::Baud, ModemModelsC::BaudIndex(std::to_string(*change.baud)));
    }
    if (change.band || change.power) {
        SetServiceSettings(change.band.value_or(f.band), change.power.value_or(f.power));
    }
    return ModemMisfitT::None;
}

ModemOutcomeT ModemDialogCoreC::ReadAgain() {
    ModemFieldsC& f = fields();
    if (session_.OpenModemPort(f.currentBaud, false) != RC_OK) {
        return ModemOutcomeT::RadioFailed;
    }
    session_.ShowConnectedState();
    f.connected = true;
    return settings_.ReadSettings() == RC_OK ? ModemOutcomeT::Ok : ModemOutcomeT::RadioFailed;
}

bool ModemDialogCoreC::SettingsUnchanged() const {
    const ModemFieldsC& f = fields();
    bool same = f.baudBox.Selected() == f.readBaudIndex && f.linkBox.Selected() == f.readLink &&
                f.modeIndex == f.readMode && f.deviceIndex == f.readDevice;
    if (f.serviceMode) {
        same = same && f.band == f.readBand && f.power == f.readPower;
    }
    return same;
}

ModemViewI::AnswerT ModemDialogCoreC::AskUnsavedSettings() {
    session_.TakeFieldsFromControls();
    if (!fields().settingsRead || !fields().connected || SettingsUnchanged()) {
        return ModemViewI::AnswerT::No;
    }
    return session_.view().MessageBox(
        "You have changed settings that have not been saved to the radio. Do you want to save "
        "them now?",
        "Unsaved Settings", ModemViewI::ButtonsT::YesNoCancel, ModemViewI::IconT::Question);
}

int ModemDialogCoreC::PrepareClose() {
    ModemFieldsC& f = fields();
    session_.TakeFieldsFromControls();
    session_.view().StorePortSettings(f.portText, f.baudText);
    switch (AskUnsavedSettings()) {
    case ModemViewI::AnswerT::Cancel:
        return RC_CANCELLED;
    case ModemViewI::AnswerT::Yes:
        OnSave();
        break;
    default:
        if (session_.link().modemPortOpen()) {
            session_.LeaveCommandMode();
            session_.link().CloseModemPort();
        }
        break;
    }
    return 0;
}
