#pragma once

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "app/FindRadioC.h"
#include "app/ORYX_HelpDlgC.h"
#include "common/EventLogFileC.h"
#include "moduleui/ModuleDialogCoreC.h"
#include "moduleui/ModuleViewI.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BusyDialogC;
class CTabBasicSettings;
class CTabCtrlEx;
class CTabSearchPairSettings;
class PortBoxFollowerC;
class QComboBox;
class QLabel;
class QPushButton;

// The module family's configuration dialog: the port settings, Connect, the two pages on a
// tab control and the status line. It owns the program's one controller.
class ORYX_64_65_CfgDlgC : public QDialog, public ModuleDialogViewI {
    Q_OBJECT
public:
    enum ControlId {
        IDC_PORT_LABEL = 1013,
        IDC_PORT = 1000,
        IDC_BAUD_LABEL = 1014,
        IDC_BAUD = 1001,
        IDC_CONNECT = 1058,
        IDC_TABS = 1059,
        IDC_STATUS = 1077,
        IDC_FIND = 1090,
    };
    using ControllerT = ORC::CFG::OpalDeviceControllerC;

    // By default the port box follows the machine's ports as they come and go while the
    // dialog is not connected.
    explicit ORYX_64_65_CfgDlgC(QWidget* parent = nullptr);
    // ports: the port box's entries; controller: a stand-in for the library's (tests).
    ORYX_64_65_CfgDlgC(std::vector<std::string> ports, std::unique_ptr<ControllerT> controller,
                       QWidget* parent = nullptr);
    ~ORYX_64_65_CfgDlgC() override;

    ModuleDialogCoreC& core() { return core_; }
    CTabCtrlEx& tabs() { return *tabs_; }
    CTabBasicSettings& settingsPage() { return *settingsPage_; }
    CTabSearchPairSettings& searchPage() { return *searchPage_; }

    // What Find... runs over the port box's entries instead of the module family's
    // discovery (a stand-in for tests).
    void SetDiscovery(FindRadioC::BlockingT discovery) { discovery_ = std::move(discovery); }

    // ModuleDialogViewI
    void MessageBox(const std::string& text, const std::string& caption) override;
    void SetWaitCursor(bool on) override;
    void Await(const std::function<void()>& work) override;
    void OnViewThread(const std::function<void()>& call) override;
    void TakeControls() override;
    void ShowControls() override;
    void FocusSettingsPage() override;
    void StorePortSettings(const std::string& portText, const std::string& baudText,
                           const std::string& flowText) override;

protected:
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // fixedPorts: nothing to follow the machine's ports.
    ORYX_64_65_CfgDlgC(std::optional<std::vector<std::string>> fixedPorts,
                       std::unique_ptr<ControllerT> controller, QWidget* parent);
    void CreateControls();
    void FollowPorts();
    void Close(const char* closeLine);
    void OnFind();

    EventLogFileC eventLog_;
    ORYX_HelpDlgC about_;
    std::unique_ptr<ControllerT> controller_;
    ModuleDialogCoreC core_;
    std::unique_ptr<PortBoxFollowerC> follower_;
    BusyDialogC* busy_;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* find_ = nullptr;
    FindRadioC::BlockingT discovery_;
    CTabCtrlEx* tabs_ = nullptr;
    QLabel* status_ = nullptr;
    CTabBasicSettings* settingsPage_ = nullptr;
    CTabSearchPairSettings* searchPage_ = nullptr;
};
