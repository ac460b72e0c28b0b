#pragma once

#include "common/EventLogFileC.h"

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QPushButton;
class QRadioButton;

// Asks which radio family is attached and remembers the answer for the next start.
class RadioSelectionDlgC : public QDialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_ORYX_62_63 = 1055,
        IDC_ORYX_64_65 = 1056,
        IDC_OK = 1057,
        IDC_CANCEL = 1009
    };

    explicit RadioSelectionDlgC(QWidget* parent = nullptr);

    // Index of the checked family button: 0, 1, or -1 when none is checked.
    int32_t radioType() const { return radioType_; }

    void OnBtnOk();
    void OnBtnCancel();

private:
    void CreateControls();
    void OnInitDialog();
    void ShowRadioType();
    int32_t CheckedIndex() const;

    int32_t radioType_ = 0;
    EventLogFileC eventLog_;
    QButtonGroup* group_ = nullptr;
};
