#include "app/ORYX_HelpDlgC.h"

#include "app/DialogUnitsC.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* CentredLabel(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

} // namespace

ORYX_HelpDlgC::ORYX_HelpDlgC(QWidget* parent, const VersionRecordC& record)
    : QDialog(parent), record_(record) {
    CreateControls();
    OnInitDialog();
}

const std::string& ORYX_HelpDlgC::buildDateText() {
    static const std::string text = std::string("Built on ") + __DATE__;
    return text;
}

std::string ORYX_HelpDlgC::GetVersionText(const VersionRecordC& record) {
    std::optional<std::string> fileVersion =
        record.Query("\\StringFileInfo\\040904b0\\FileVersion");
    if (!fileVersion) {
        return {};
    }
    // The text before the second comma: "2, 4, 0, 0" gives "2, 4"; fewer commas give nothing.
    std::string kept;
    const size_t first = fileVersion->find(',');
    const size_t second = first == std::string::npos ? first : fileVersion->find(',', first + 1);
    if (second != std::string::npos) {
        kept = fileVersion->substr(0, second);
    }
    std::optional<std::string> special = record.Query("\\StringFileInfo\\040904b0\\SpecialBuild");
    if (!special) {
        return {};
    }
    return kept + "  (Build " + *special + ")";
}

void ORYX_HelpDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("About ORYX Config tool"));
    DialogUnitsC du(font());
    setFixedSize(du.size(145, 85));
    CentredLabel(this, QStringLiteral("ORYX Config Tool"), du.rect(18, 2, 109, 8));
    version_ = CentredLabel(this, QStringLiteral("Version: "), du.rect(18, 10, 109, 8));
    version_->setObjectName(QString::number(IDC_VERSION));
    buildDate_ = CentredLabel(this, QStringLiteral("built date"), du.rect(18, 18, 109, 8));
    buildDate_->setObjectName(QString::number(IDC_BUILD_DATE));
    QLabel* notice =
        CentredLabel(this, QStringLiteral("\u00A9 Altorvia Instruments. All rights reserved."),
                     du.rect(33, 31, 71, 34));
    notice->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QString::number(IDC_OK));
    ok->setGeometry(du.rect(49, 67, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ORYX_HelpDlgC::OnInitDialog() {
    version_->setText(QStringLiteral("Version: ") +
                      QString::fromStdString(GetVersionText(record_)));
    buildDate_->setText(QString::fromStdString(buildDateText()));
}
