#pragma once

#include "moduleui/BasicSettingsCoreC.h"
#include "moduleui/ORYX_64_65_ConfigTabC.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;

// The "Module Settings" page: local name, address, module baud rate and device role.
class CTabBasicSettings : public ORYX_64_65_ConfigTabC {
    Q_OBJECT
public:
    enum ControlId {
        IDC_LOCAL_NAME = 1060,
        IDC_BT_ADDRESS = 1063,
        IDC_MODULE_BAUD = 1071,
        IDC_CLIENT_ROLE = 1069,
        IDC_SERVER_ROLE = 1070,
    };

    CTabBasicSettings(ModuleDialogCoreC* dialog, ControllerT* controller,
                      QWidget* parent = nullptr);

    BasicSettingsCoreC& core() override { return core_; }
    void TakeControls() override;
    void ShowControls() override;

private:
    void CreateControls();

    BasicSettingsCoreC core_;
    QLineEdit* name_ = nullptr;
    QLineEdit* address_ = nullptr;
    QComboBox* baud_ = nullptr;
    QRadioButton* client_ = nullptr;
    QRadioButton* server_ = nullptr;
    QButtonGroup* roles_ = nullptr;
};
