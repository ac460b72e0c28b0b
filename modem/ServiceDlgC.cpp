#include "modem/ServiceDlgC.h"

#include "app/DialogUnitsC.h"
#include "modem/ModemFieldsC.h"
#include "modem/ModemModelsC.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

ServiceDlgC::ServiceDlgC(ModemFieldsC& fields, QWidget* parent) : QDialog(parent), fields_(fields) {
    CreateControls();
    OnInitDialog();
}

void ServiceDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("Service settings"));
    DialogUnitsC du(font());
    setFixedSize(du.size(145, 97));
    const int boxHeight = du.y(12);
    (new QLabel(QStringLiteral("Freq. band:"), this))->setGeometry(du.rect(3, 10, 52, 8));
    band_ = new QComboBox(this);
    band_->setObjectName(QString::number(IDC_BAND));
    band_->setGeometry(du.x(60), du.y(7), du.x(82), boxHeight);
    (new QLabel(QStringLiteral("Transmit power:"), this))->setGeometry(du.rect(3, 24, 55, 8));
    power_ = new QComboBox(this);
    power_->setObjectName(QString::number(IDC_POWER));
    power_->setGeometry(du.x(60), du.y(22), du.x(82), boxHeight);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IDC_OK));
    ok->setGeometry(du.rect(57, 60, 32, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QString::number(IDC_CANCEL));
    cancel->setGeometry(du.rect(57, 76, 32, 14));
    // Enter on a focused Cancel cancels; in Qt only an auto-default button takes Enter.
    cancel->setAutoDefault(true);
    connect(ok, &QPushButton::clicked, this, &ServiceDlgC::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ServiceDlgC::OnInitDialog() {
    band_->addItems({QStringLiteral("Altorvia Worldwide"), QStringLiteral("Altorvia USA")});
    const ModemModelS& model = ModemModelsC::Model(fields_.modelNumber);
    shownBand_ = model.ServiceBandEntry(fields_.band);
    band_->setCurrentIndex(shownBand_);
    for (const std::string& level : model.powerLevels) {
        power_->addItem(QString::fromStdString(level));
    }
    power_->setCurrentIndex(fields_.power < power_->count() ? fields_.power : -1);
}

void ServiceDlgC::OnOK() {
    // The box shows "USA" for any band that is not the model's worldwide one; rewriting the
    // band from an untouched box would replace such a band with "00".
    if (band_->currentIndex() != shownBand_) {
        fields_.band = ModemModelsC::Model(fields_.modelNumber)
                           .BandForEntry(band_->currentIndex(), fields_.band);
    }
    // A power read from the radio that the box does not list leaves the box empty; OK must
    // then keep that power rather than turn it into "no entry" (-1), which no radio accepts.
    if (power_->currentIndex() >= 0 && power_->currentIndex() != fields_.power) {
        fields_.power = power_->currentIndex();
    }
    accept();
}
