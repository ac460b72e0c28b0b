#pragma once

#include "app/VersionRecordC.h"

#include <QDialog>
#include <string>

class QLabel;

// The about box: product, version and build number from the version record, build date.
class ORYX_HelpDlgC : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IDC_VERSION = 1041, IDC_BUILD_DATE = 1045, IDC_OK = 1 };

    explicit ORYX_HelpDlgC(QWidget* parent = nullptr,
                           const VersionRecordC& record = VersionRecordC::Program());

    // "2, 4  (Build 1)" from the record, or empty when it cannot be formed.
    static std::string GetVersionText(const VersionRecordC& record);
    static const std::string& buildDateText();

private:
    void CreateControls();
    void OnInitDialog();

    const VersionRecordC& record_;
    QLabel* version_ = nullptr;
    QLabel* buildDate_ = nullptr;
};
