#pragma once

#include <QDialog>

class ModemFieldsC;
class QComboBox;

// Lets a service technician change the band and the transmit power fields of the modem
// dialog; the radio gets them at the next save.
class ServiceDlgC : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IDC_BAND = 1046, IDC_POWER = 1047, IDC_OK = 1, IDC_CANCEL = 2 };

    ServiceDlgC(ModemFieldsC& fields, QWidget* parent = nullptr);

    void OnOK();

private:
    void CreateControls();
    void OnInitDialog();

    ModemFieldsC& fields_;
    QComboBox* band_ = nullptr;
    QComboBox* power_ = nullptr;
    int shownBand_ = -1;
};
