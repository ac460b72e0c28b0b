#pragma once

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "common/ComboBoxModelC.h"
#include "common/DiscoveredPortS.h"
#include "common/EventLogFileC.h"
#include "module/ModuleConnectWatchI.h"
#include "module/ModuleCoreC.h"
#include "moduleui/ModuleViewI.h"

#include <string>
#include <vector>

class ModuleTabCoreC;

// Everything the module configuration dialog does, without the dialog: the port and its
// command mode, the fallback over the baud rates, the status line, and what the pages ask of
// the dialog. What is sent to the module is the family's core's; this class shows it.
class ModuleDialogCoreC : private ModuleConnectWatchI {
public:
    using ControllerT = ORC::CFG::OpalDeviceControllerC;
    static constexpr const char* kCaption = "ORYX Config";
    static constexpr const char* kSelectPortStatus = "Select port settings, then press Connect";
    static constexpr const char* kConnectLabel = "Connect";
    static constexpr const char* kDisconnectLabel = "Disconnect";
    static constexpr const char* kOkLine = "Title bar button 'Ok' pressed.";
    static constexpr const char* kCloseLine = "Title bar button 'X' pressed.";

    const std::vector<std::string> flowModes{"None"};

    ModuleDialogCoreC(EventLogFileC& log, ModuleDialogViewI& view, ControllerT& controller);

    void AddPages(ModuleTabCoreC& settingsPage, ModuleTabCoreC& searchPage);

    // ports: the machine's port texts in list order; the stored texts with their defaults.
    void OnInitDialog(const std::vector<std::string>& ports, const std::string& storedPort,
                      const std::string& storedBaud);

    // New port box entries while the port is closed: a typed text stays, the chosen entry
    // stays the choice even while it is not listed (marked missing) and is selected again
    // when it returns; with no choice at all the port text selects as on opening.
    void FollowPortList(const std::vector<std::string>& ports);

    // Selects the port and the rate a search found, with the port still closed: the user
    // connects.
    void ShowFound(const DiscoveredPortS& found);
    void OnConnect();
    // Closing in any way: logs closeLine, stores the port settings and closes the port. The
    // dialog ends afterwards.
    void StorePortSettings(const char* closeLine);

    void SetStatus(const std::string& text);
    // A failure the user is told about goes into the event log as well, where a service
    // technician looks afterwards.
    void LogFailure(const std::string& text);
    bool SetCommandMode(bool enter);
    void SetPortOpen(bool open);
    bool ConnectWithFallback();
    int ClosePort();
    void CheckCommandMode();
    void SetTabsClientRole(bool clientRole);
    void SetBaudText(const std::string& text);
    void SetResetOnLeave() { resetOnLeave = true; }

    std::string baudText = "115200";
    std::string flowText = "None";
    std::string portText;
    bool resetOnLeave = false;
    bool portOpen = false;
    bool commandMode = false;

    ComboBoxModelC portBox;
    ComboBoxModelC baudBox;
    std::string status;
    std::string connectLabel = kConnectLabel;
    bool connectEnabled = true;
    bool tabsEnabled = false;

private:
    // What the connect shows while it goes over the rates.
    void Trying(const std::string& baud) override;
    void PortOpened() override;
    void CommandModeEntered(bool entered) override;
    void PortClosing() override;
    void AttemptFailed(const std::string& text) override;

    void ShowCommandMode();
    void TakeMembers();
    void ShowMembers();
    void FillPortList(const std::vector<std::string>& ports);
    void LeaveCommandMode();

    EventLogFileC& log_;
    ModuleDialogViewI& view_;
    ModuleCoreC module_;
    ModuleTabCoreC* pages_[2] = {nullptr, nullptr};
};
