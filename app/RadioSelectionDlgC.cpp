#include "app/RadioSelectionDlgC.h"

#include "app/DialogControlsC.h"
#include "app/DialogUnitsC.h"
#include "app/SettingsStoreC.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

RadioSelectionDlgC::RadioSelectionDlgC(QWidget* parent)
    : QDialog(parent), eventLog_(EventLogFileC::kFileName, EventLogFileC::kMaxLines) {
    CreateControls();
    OnInitDialog();
}

void RadioSelectionDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("Select Radio Type"));
    DialogUnitsC du(font());
    setFixedSize(du.size(186, 47));
    DialogControlsC::OfferOnlyClose(*this);

    auto* modem = new QRadioButton(QStringLiteral("ORYX 62/63"), this);
    modem->setObjectName(QString::number(IDC_ORYX_62_63));
    modem->setGeometry(du.rect(24, 12, 53, 10));
    auto* module = new QRadioButton(QStringLiteral("ORYX 64/65"), this);
    module->setObjectName(QString::number(IDC_ORYX_64_65));
    module->setGeometry(du.rect(24, 24, 53, 10));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IDC_OK));
    ok->setGeometry(du.rect(129, 7, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QString::number(IDC_CANCEL));
    cancel->setGeometry(du.rect(129, 24, 50, 14));
    // Enter on a focused Cancel must cancel, as a focused push button takes Enter everywhere
    // else in the program; in Qt only an auto-default button does.
    cancel->setAutoDefault(true);

    group_ = new QButtonGroup(this);
    group_->addButton(modem, 0);
    group_->addButton(module, 1);

    setTabOrder(modem, module);
    setTabOrder(module, ok);
    setTabOrder(ok, cancel);

    connect(ok, &QPushButton::clicked, this, &RadioSelectionDlgC::OnBtnOk);
    connect(cancel, &QPushButton::clicked, this, &RadioSelectionDlgC::OnBtnCancel);
}

void RadioSelectionDlgC::OnInitDialog() {
    if (auto stored = SettingsStoreC().radioSelection()) {
        radioType_ = *stored;
    }
    ShowRadioType();
}

void RadioSelectionDlgC::ShowRadioType() {
    // An exclusive group refuses to uncheck its last button, so lift that for a moment.
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons()) {
        button->setChecked(group_->id(button) == radioType_);
    }
    group_->setExclusive(true);
}

int32_t RadioSelectionDlgC::CheckedIndex() const {
    return group_->checkedId();
}

void RadioSelectionDlgC::OnBtnOk() {
    eventLog_.Log("RadioSelectionDlgC::OnBtnOk");
    radioType_ = CheckedIndex();
    SettingsStoreC().setRadioSelection(radioType_);
    accept();
}

void RadioSelectionDlgC::OnBtnCancel() {
    eventLog_.Log("RadioSelectionDlgC::OnBtnCancel");
    reject();
}
