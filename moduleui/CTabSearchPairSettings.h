#pragma once

#include "moduleui/ORYX_64_65_ConfigTabC.h"
#include "moduleui/SearchPairCoreC.h"

class QLineEdit;
class QListWidget;
class QPushButton;

// The "Search/Pairing" page: the paired device, the devices found, Search and Pair.
class CTabSearchPairSettings : public ORYX_64_65_ConfigTabC {
    Q_OBJECT
public:
    enum ControlId {
        IDC_PAIRED_DEVICE = 1078,
        IDC_FOUND_DEVICES = 1079,
        IDC_SEARCH = 1080,
        IDC_PAIR = 1081,
    };

    CTabSearchPairSettings(ModuleDialogCoreC* dialog, ControllerT* controller,
                           QWidget* parent = nullptr);

    SearchPairCoreC& core() override { return core_; }
    void TakeControls() override;
    void ShowControls() override;

private:
    void CreateControls();
    int SelectedRow() const;

    SearchPairCoreC core_;
    QLineEdit* paired_ = nullptr;
    QListWidget* found_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* pair_ = nullptr;
};
