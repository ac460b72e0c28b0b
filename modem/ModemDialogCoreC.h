#pragma once

#include "common/DiscoveredPortS.h"
#include "modem/ModemDefaultsC.h"
#include "modem/ModemDetectionC.h"
#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"
#include "modem/ModemSettingsC.h"

#include <functional>
#include <string>
#include <vector>

// Everything the modem configuration dialog does, without the dialog: the fields and
// control states it shows, and one operation per button or event.
class ModemDialogCoreC {
public:
    ModemDialogCoreC(EventLogFileC& log, ModemViewI& view);

    // Fills the boxes (the ports that open, in order) and selects the stored texts.
    void OnInitDialog(std::vector<std::string> portsThatOpen, const std::string& storedPort,
                      const std::string& storedBaud, bool serviceMode);

    // New port box entries while not connected: a typed text stays, the chosen entry stays
    // chosen while it is listed and stays the box's text, marked missing, while it is not;
    // with nothing chosen the port text selects as on opening.
    void FollowPortList(std::vector<std::string> portsThatOpen);

    // Selects the port and the rate a search found, still disconnected: the user connects.
    void ShowFound(const DiscoveredPortS& found);

    // Connects, or disconnects when connected; the outcome of what the user was shown.
    ModemOutcomeT OnConnectButton();
    ModemOutcomeT OnSave();
    ModemOutcomeT OnDefault();
    // The three ways to close; each returns true when the dialog may end.
    bool OnCloseButton();
    bool OnOkKey();
    bool OnCancelKey();
    // Logs around the service dialog, which the view shows in between.
    void OnServiceButton(const std::function<void()>& showServiceDialog);
    void OnAboutButton(const std::function<void()>& showAboutDialog);
    void OnModeOrDeviceChanged();
    // The user picked an entry of a box (-1: none).
    void OnBoxSelected(ModemFieldsC::BoxT box, int index);
    // What the service dialog's OK sets: the band code and the power index.
    void SetServiceSettings(const std::string& band, int power);

    // The settings as values: the boxes' choices, band and power in service mode, and the
    // rate the radio talks at now (a rate chosen to be written shows once it is saved).
    ModemValuesS Values() const;
    // Chooses what the change gives the way a user picks the entries, so that the core sees
    // the same events as in the dialog. A value the connected model does not offer changes
    // nothing and is the result.
    ModemMisfitT Change(const ModemChangeS& change);
    // After a save has sent the radio out of command mode: opens the port again at the rate
    // the radio talks at and reads its settings, without waiting for a banner, as the model
    // and the rate are known.
    ModemOutcomeT ReadAgain();

    ModemViewI::AnswerT AskUnsavedSettings();
    // 0 when the dialog may close, RC_CANCELLED when the user chose to stay.
    int PrepareClose();

    ModemSessionC& session() { return session_; }
    ModemFieldsC& fields() { return session_.fields(); }
    const ModemFieldsC& fields() const { return session_.fields(); }
    ModemDetectionC& detection() { return detection_; }
    ModemSettingsC& settings() { return settings_; }
    ModemDefaultsC& defaults() { return defaults_; }

private:
    ModemOutcomeT OnDisconnect();
    bool SettingsUnchanged() const;

    ModemSessionC session_;
    ModemSettingsC settings_;
    ModemDetectionC detection_;
    ModemDefaultsC defaults_;
};
