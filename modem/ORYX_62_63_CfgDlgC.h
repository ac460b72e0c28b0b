#pragma once

#include "app/FindRadioC.h"
#include "common/EventLogFileC.h"
#include "modem/ModemDialogCoreC.h"
#include "modem/ModemViewI.h"

#include <QDialog>
#include <map>
#include <memory>
#include <optional>

class BusyDialogC;
class PortBoxFollowerC;
class QComboBox;
class QLabel;
class QPushButton;

// The modem family's configuration dialog: draws the core's fields and control states and
// forwards every button and selection to it.
class ORYX_62_63_CfgDlgC : public QDialog, public ModemViewI {
    Q_OBJECT
public:
    enum ControlId {
        IDC_PORT_LABEL = 1013,
        IDC_PORT = 1000,
        IDC_BAUD_LABEL = 1014,
        IDC_BAUD = 1001,
        IDC_CONNECT = 1007,
        IDC_SERVICE = 1010,
        IDC_SETTINGS_GROUP = 1012,
        IDC_DEVICE_LABEL = 1019,
        IDC_DEVICE = 1005,
        IDC_LINK_LABEL = 1015,
        IDC_LINK = 1002,
        IDC_ABOUT = 1018,
        IDC_MODE_LABEL = 1017,
        IDC_MODE = 1003,
        IDC_DEFAULT = 1009,
        IDC_SAVE = 1008,
        IDC_CLOSE = 1004,
        IDC_FIND = 1090,
    };

    // portsThatOpen: the Port box's entries; by default the machine's ports that open now,
    // followed as ports come and go while the dialog is not connected.
    explicit ORYX_62_63_CfgDlgC(QWidget* parent = nullptr);
    ORYX_62_63_CfgDlgC(std::vector<std::string> portsThatOpen, QWidget* parent = nullptr);
    ~ORYX_62_63_CfgDlgC() override;

    void setServiceMode(bool on);
    ModemDialogCoreC& core() { return core_; }

    // What Find... runs over the Port box's entries; by default the modem family's
    // discovery (tests put a stand-in here).
    void SetDiscovery(FindRadioC::WaitingT discovery) { discovery_ = std::move(discovery); }

    // ModemViewI
    AnswerT MessageBox(const std::string& text, const std::string& caption, ButtonsT buttons,
                       IconT icon) override;
    void SetWaitCursor(bool on) override;
    void Beep() override;
    void TakeControls() override;
    void ShowControls() override;
    bool RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) override;
    void StorePortSettings(const std::string& portText, const std::string& baudText) override;

protected:
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // fixedPorts: nothing to follow the machine's ports.
    ORYX_62_63_CfgDlgC(std::optional<std::vector<std::string>> fixedPorts, QWidget* parent);
    void CreateControls();
    void FollowPorts();
    std::string PortEntryFor(const std::string& storedPort) const;
    QComboBox* AddLabelledBox(ControlId id, const QRect& geometry, ModemFieldsC::BoxT which,
                              ControlId labelId, const QString& label, const QRect& labelGeometry);
    void ShowBox(QComboBox* box, const ComboBoxModelC& model);
    void OnServiceButton();
    void OnAboutButton();
    void OnFind();
    void Close(bool (ModemDialogCoreC::*way)());
    bool IsPortText(const QWidget* widget) const;

    EventLogFileC eventLog_;
    ModemDialogCoreC core_;
    std::unique_ptr<PortBoxFollowerC> follower_;
    BusyDialogC* busy_;
    std::vector<std::string> ports_;
    std::map<QComboBox*, ModemFieldsC::BoxT> boxes_;
    std::map<QComboBox*, QLabel*> labels_;
    QPushButton* connect_ = nullptr;
    QPushButton* find_ = nullptr;
    FindRadioC::WaitingT discovery_;
    QPushButton* service_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* default_ = nullptr;
};
