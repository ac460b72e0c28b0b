#include "moduleui/CTabBasicSettings.h"

#include "app/DialogControlsC.h"
#include "app/DialogUnitsC.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CTabBasicSettings::CTabBasicSettings(ModuleDialogCoreC* dialog, ControllerT* controller,
                                     QWidget* parent)
    : ORYX_64_65_ConfigTabC(parent), core_(dialog, controller, *this) {
    CreateControls();
    core_.OnInitDialog();
}

void CTabBasicSettings::CreateControls() {
    DialogUnitsC du(font());
    DialogControlsC controls(*this);
    auto label = [&](const QString& text, const QRect& geometry, QWidget* buddy) {
        controls.Label(-1, text, geometry, buddy)->setObjectName(QString());
    };
    auto edit = [&](int id, const QRect& geometry) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QString::number(id));
        line->setGeometry(geometry);
        return line;
    };
    // Edits and a closed drop-down need a line of the font; the template's heights are that.
    const int lineHeight = du.y(12);
    name_ = edit(IDC_LOCAL_NAME, QRect(du.x(4), du.y(13), du.x(148), lineHeight));
    label(QStringLiteral("Local Name"), du.rect(4, 4, 37, 8), name_);
    address_ = edit(IDC_BT_ADDRESS, du.rect(4, 36, 148, 13));
    address_->setEnabled(false);
    label(QStringLiteral("BT Address"), du.rect(4, 27, 37, 8), address_);
    baud_ = controls.DropDown(IDC_MODULE_BAUD, QRect(du.x(4), du.y(62), du.x(148), lineHeight));
    label(QStringLiteral("Baudrate"), du.rect(5, 53, 30, 8), baud_);
    (new QGroupBox(QStringLiteral("Device Role"), this))->setGeometry(du.rect(4, 76, 148, 26));
    client_ = new QRadioButton(QStringLiteral("Client (PC use)"), this);
    client_->setObjectName(QString::number(IDC_CLIENT_ROLE));
    client_->setGeometry(du.rect(9, 89, 63, 10));
    server_ = new QRadioButton(QStringLiteral("Server (TS use)"), this);
    server_->setObjectName(QString::number(IDC_SERVER_ROLE));
    server_->setGeometry(du.rect(79, 89, 66, 10));
    roles_ = new QButtonGroup(this);
    roles_->addButton(client_, BasicSettingsCoreC::kClientRole);
    roles_->addButton(server_, BasicSettingsCoreC::kServerRole);
    QPushButton* read = controls.Button(IDC_READ, QStringLiteral("Read"), du.rect(4, 109, 73, 14));
    QPushButton* write =
        controls.Button(IDC_WRITE, QStringLiteral("Write"), du.rect(79, 109, 73, 14));
    BindReadWrite(read, write);
    QWidget* order[] = {name_, baud_, client_, server_, read, write};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void CTabBasicSettings::TakeControls() {
    core_.localName = name_->text().toStdString();
    core_.btAddress = address_->text().toStdString();
    core_.deviceRole = roles_->checkedId();
    core_.baudBox.Select(baud_->currentIndex());
}

void CTabBasicSettings::ShowControls() {
    name_->setText(QString::fromStdString(core_.localName));
    address_->setText(QString::fromStdString(core_.btAddress));
    // No role is shown with neither button checked, which an exclusive group cannot do.
    roles_->setExclusive(false);
    client_->setChecked(core_.deviceRole == BasicSettingsCoreC::kClientRole);
    server_->setChecked(core_.deviceRole == BasicSettingsCoreC::kServerRole);
    roles_->setExclusive(true);
    const ComboBoxModelC& box = core_.baudBox;
    if (baud_->count() != box.Count()) {
        baud_->clear();
        for (const std::string& entry : box.Entries()) {
            baud_->addItem(QString::fromStdString(entry));
        }
    }
    baud_->setCurrentIndex(box.Selected());
    const bool on = core_.controlsEnabled;
    setEnabled(on);
    for (QWidget* control : std::initializer_list<QWidget*>{name_, baud_, client_, server_}) {
        control->setEnabled(on);
    }
    ShowReadWriteStates();
}
