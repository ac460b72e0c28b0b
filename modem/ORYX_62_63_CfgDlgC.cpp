#include "modem/ORYX_62_63_CfgDlgC.h"

#include "app/BusyDialogC.h"
#include "app/DialogControlsC.h"
#include "app/DialogUnitsC.h"
#include "app/ORYX_DetectDlgC.h"
#include "app/ORYX_HelpDlgC.h"
#include "app/PortBoxFollowerC.h"
#include "app/SettingsStoreC.h"
#include "modem/ModemDiscoveryC.h"
#include "modem/ServiceDlgC.h"
#include "platform/PortEnumerator.h"
#include "platform/PortNames.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::StandardButtons ToQt(ModemViewI::ButtonsT buttons) {
    switch (buttons) {
    case ModemViewI::ButtonsT::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case ModemViewI::ButtonsT::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon ToQt(ModemViewI::IconT icon) {
    switch (icon) {
    case ModemViewI::IconT::Information:
        return QMessageBox::Information;
    case ModemViewI::IconT::Question:
        return QMessageBox::Question;
    case ModemViewI::IconT::Exclamation:
        return QMessageBox::Warning;
    case ModemViewI::IconT::Stop:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

ModemViewI::AnswerT FromQt(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return ModemViewI::AnswerT::Yes;
    case QMessageBox::No:
        return ModemViewI::AnswerT::No;
    case QMessageBox::Cancel:
        return ModemViewI::AnswerT::Cancel;
    default:
        return ModemViewI::AnswerT::Ok;
    }
}

// Ports already in the box are not tried again: they opened when they came, and trying
// every port at each change would get in the way of other programs that open them.
std::vector<std::string> PortsThatOpen(const std::vector<std::string>& ports,
                                       const std::vector<std::string>& known = {}) {
    std::vector<std::string> open;
    for (const std::string& port : ports) {
        const bool isKnown = std::find(known.begin(), known.end(), port) != known.end();
        if (isKnown || oryx::platform::PortEnumerator::portOpens(port)) {
            open.push_back(port);
        }
    }
    return open;
}

// The modem family's discovery. Each wait for the radio ends after a minute, as the command
// line's does: a user who has gone away finds the search ended, not the ports held.
FindRadioC::WaitingT ModemDiscovery() {
    return [](const std::vector<std::string>& ports, const DetectWaitHooksS& wait,
              const FindRadioC::PromptT& askReconnect) {
        ModemDiscoveryC::OptionsS options;
        options.wait = wait;
        options.askReconnect = askReconnect;
        options.waitLimitMs = 60'000;
        return ModemDiscoveryC::Run(ports, options);
    };
}

// The width, in dialog units, that the column of Find... adds to the template.
constexpr int kFindColumn = 38;

} // namespace

ORYX_62_63_CfgDlgC::ORYX_62_63_CfgDlgC(QWidget* parent)
    : ORYX_62_63_CfgDlgC(std::nullopt, parent) {}

ORYX_62_63_CfgDlgC::ORYX_62_63_CfgDlgC(std::vector<std::string> portsThatOpen, QWidget* parent)
    : ORYX_62_63_CfgDlgC(std::optional(std::move(portsThatOpen)), parent) {}

ORYX_62_63_CfgDlgC::ORYX_62_63_CfgDlgC(std::optional<std::vector<std::string>> fixedPorts,
                                       QWidget* parent)
    : QDialog(parent), eventLog_(EventLogFileC::kFileName, EventLogFileC::kMaxLines),
      core_(eventLog_, *this),
      follower_(fixedPorts ? nullptr : std::make_unique<PortBoxFollowerC>()),
      busy_(new BusyDialogC(*this)),
      ports_(fixedPorts ? std::move(*fixedPorts) : PortsThatOpen(follower_->Ports())) {
    discovery_ = ModemDiscovery();
    CreateControls();
    // Connect's settings read, a save and the defaults take a second or more of commands;
    // the window paints between them.
    core_.session().link().SetBeforeEachWrite([this] { busy_->BetweenSteps(); });
    if (follower_) {
        connect(follower_.get(), &PortBoxFollowerC::Changed, this, [this] { ShowControls(); });
    }
    SettingsStoreC store;
    core_.OnInitDialog(ports_, PortEntryFor(store.port().toStdString()),
                       store.baudrate().toStdString(), false);
}

ORYX_62_63_CfgDlgC::~ORYX_62_63_CfgDlgC() = default;

// A stored port may name a listed device another way ("1" is ttyS0); show it as listed.
std::string ORYX_62_63_CfgDlgC::PortEntryFor(const std::string& storedPort) const {
    for (const std::string& entry : ports_) {
        if (entry.rfind(storedPort, 0) == 0) {
            return storedPort;
        }
    }
    for (const std::string& entry : ports_) {
        if (oryx::platform::PortNames::samePort(entry, storedPort)) {
            return entry;
        }
    }
    return storedPort;
}

void ORYX_62_63_CfgDlgC::setServiceMode(bool on) {
    ModemFieldsC& f = core_.fields();
    f.serviceMode = on;
    f.serviceVisible = on;
    ShowControls();
}

QComboBox* ORYX_62_63_CfgDlgC::AddLabelledBox(ControlId id, const QRect& geometry,
                                              ModemFieldsC::BoxT which, ControlId labelId,
                                              const QString& label, const QRect& labelGeometry) {
    const DialogControlsC::LabelledBoxS made =
        DialogControlsC(*this).LabelledDropDown(id, geometry, labelId, label, labelGeometry);
    boxes_[made.box] = which;
    labels_[made.box] = made.label;
    connect(made.box, &QComboBox::activated, this,
            [this, which](int index) { core_.OnBoxSelected(which, index); });
    return made.box;
}

void ORYX_62_63_CfgDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("ORYX 62/63 Config Tool"));
    DialogUnitsC du(font());
    // Find... adds a column on the right; every control of the template keeps its place.
    setFixedSize(du.size(145 + kFindColumn, 111));
    DialogControlsC::OfferOnlyClose(*this);
    DialogControlsC controls(*this);
    using BoxT = ModemFieldsC::BoxT;

    (new QGroupBox(this))->setGeometry(du.rect(3, 3, 139 + kFindColumn, 41));
    // A drop-down list's template height includes its open list; the closed box is one line.
    const int boxHeight = du.y(12);
    auto boxRect = [&](int x, int y, int w) { return QRect(du.x(x), du.y(y), du.x(w), boxHeight); };

    // The template's labels end where their boxes begin; they end a little before.
    const QRect portLabelArea = du.rect(5, 13, 33, 8);
    const QRect baudLabelArea = du.rect(6, 29, 32, 8);
    QComboBox* port = AddLabelledBox(IDC_PORT, boxRect(40, 11, 50), BoxT::Port, IDC_PORT_LABEL,
                                     QStringLiteral("&COM Port:"), portLabelArea);
    DialogControlsC::MakePortBox(port, core_.fields().portBox);
    QComboBox* baud = AddLabelledBox(IDC_BAUD, boxRect(40, 27, 50), BoxT::Baud, IDC_BAUD_LABEL,
                                     QStringLiteral("&Baudrate:"), baudLabelArea);
    DialogControlsC::EndLabelAt(labels_[port], portLabelArea);
    DialogControlsC::EndLabelAt(labels_[baud], baudLabelArea);
    connect_ = controls.Button(IDC_CONNECT, QStringLiteral("Co&nnect"), du.rect(97, 10, 41, 14));
    service_ = controls.Button(IDC_SERVICE, QStringLiteral("Service"), du.rect(97, 26, 41, 14));
    find_ =
        controls.Button(IDC_FIND, QStringLiteral("&Find…"), du.rect(142, 10, kFindColumn - 4, 14));
    find_->setToolTip(QStringLiteral("Listens on every port of the list while you reconnect the "
                                     "radio's cable, then chooses its port and rate; press "
                                     "Connect next."));

    auto* settings = new QGroupBox(this);
    settings->setObjectName(QString::number(IDC_SETTINGS_GROUP));
    settings->setGeometry(du.rect(3, 46, 139 + kFindColumn, 62));
    QComboBox* device =
        AddLabelledBox(IDC_DEVICE, boxRect(40, 54, 50), BoxT::Device, IDC_DEVICE_LABEL,
                       QStringLiteral("&Device:"), du.rect(8, 56, 26, 8));
    QComboBox* link = AddLabelledBox(IDC_LINK, boxRect(110, 54, 28), BoxT::Link, IDC_LINK_LABEL,
                                     QStringLiteral("&Link:"), du.rect(94, 56, 16, 8));
    QPushButton* about =
        controls.Button(IDC_ABOUT, QStringLiteral("&About"), du.rect(7, 73, 29, 14));
    QComboBox* mode = AddLabelledBox(IDC_MODE, boxRect(91, 72, 47), BoxT::Mode, IDC_MODE_LABEL,
                                     QStringLiteral("&Mode:"), du.rect(69, 76, 21, 8));
    default_ = controls.Button(IDC_DEFAULT, QStringLiteral("&Default"), du.rect(7, 90, 42, 14));
    save_ = controls.Button(IDC_SAVE, QStringLiteral("&Save"), du.rect(52, 90, 42, 14));
    QPushButton* close =
        controls.Button(IDC_CLOSE, QStringLiteral("&Close"), du.rect(96, 90, 42, 14));

    QWidget* order[] = {port, baud,  connect_, find_,    service_, device,
                        link, about, mode,     default_, save_,    close};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(connect_, &QPushButton::clicked, this,
            [this] { busy_->Run([this] { core_.OnConnectButton(); }); });
    connect(save_, &QPushButton::clicked, this, [this] { busy_->Run([this] { core_.OnSave(); }); });
    connect(default_, &QPushButton::clicked, this,
            [this] { busy_->Run([this] { core_.OnDefault(); }); });
    connect(close, &QPushButton::clicked, this,
            [this] { Close(&ModemDialogCoreC::OnCloseButton); });
    connect(service_, &QPushButton::clicked, this, &ORYX_62_63_CfgDlgC::OnServiceButton);
    connect(about, &QPushButton::clicked, this, &ORYX_62_63_CfgDlgC::OnAboutButton);
    connect(find_, &QPushButton::clicked, this, &ORYX_62_63_CfgDlgC::OnFind);
}

void ORYX_62_63_CfgDlgC::ShowBox(QComboBox* box, const ComboBoxModelC& model) {
    DialogControlsC::ShowModel(box, model);
    labels_.at(box)->setEnabled(model.Enabled());
}

// While a port is open (connected, or trying to connect) the box stays as it is, and the
// change is taken once the port is closed again.
void ORYX_62_63_CfgDlgC::FollowPorts() {
    const bool portInUse = core_.fields().connected || core_.session().link().modemPortOpen();
    if (!follower_ || portInUse || !follower_->TakeChange()) {
        return;
    }
    ports_ = PortsThatOpen(follower_->Ports(), ports_);
    core_.FollowPortList(ports_);
}

void ORYX_62_63_CfgDlgC::ShowControls() {
    FollowPorts();
    ModemFieldsC& f = core_.fields();
    for (auto& [box, which] : boxes_) {
        ShowBox(box, f.box(which));
    }
    connect_->setText(QString::fromStdString(f.connectLabel));
    find_->setEnabled(!f.connected && !core_.session().link().modemPortOpen());
    save_->setEnabled(f.saveEnabled);
    default_->setEnabled(f.defaultEnabled);
    service_->setVisible(f.serviceVisible);
    service_->setEnabled(f.serviceEnabled);
}

void ORYX_62_63_CfgDlgC::TakeControls() {
    for (auto& [box, which] : boxes_) {
        if (box->isEditable()) {
            core_.fields().box(which).SetText(box->currentText().toStdString());
        } else {
            core_.fields().box(which).Select(box->currentIndex());
        }
    }
}

ModemViewI::AnswerT ORYX_62_63_CfgDlgC::MessageBox(const std::string& text,
                                                   const std::string& caption, ButtonsT buttons,
                                                   IconT icon) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ToQt(buttons), this);
    DialogControlsC::FitCaption(box);
    int answer = QMessageBox::NoButton;
    BusyDialogC::WithArrowCursor([&] { answer = box.exec(); });
    return FromQt(answer);
}

void ORYX_62_63_CfgDlgC::SetWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void ORYX_62_63_CfgDlgC::Beep() {
    QApplication::beep();
}

bool ORYX_62_63_CfgDlgC::RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) {
    ORYX_DetectDlgC detect(this);
    detect.title = caption;
    int result = QDialog::Rejected;
    BusyDialogC::WithArrowCursor([&] { result = detect.RunWait(wait); });
    return result == QDialog::Accepted;
}

void ORYX_62_63_CfgDlgC::StorePortSettings(const std::string& portText,
                                           const std::string& baudText) {
    SettingsStoreC().setPortSettings(QString::fromStdString(portText),
                                     QString::fromStdString(baudText));
}

void ORYX_62_63_CfgDlgC::OnFind() {
    eventLog_.Log("Button 'Find...' pressed.");
    FindRadioC find(*this, eventLog_, "radio");
    if (const std::optional<DiscoveredPortS> found =
            find.Waiting(core_.fields().portBox.Entries(), discovery_)) {
        core_.ShowFound(*found);
    }
}

void ORYX_62_63_CfgDlgC::OnServiceButton() {
    core_.OnServiceButton([this] {
        ServiceDlgC service(core_.fields(), this);
        service.exec();
    });
}

void ORYX_62_63_CfgDlgC::OnAboutButton() {
    core_.OnAboutButton([this] {
        ORYX_HelpDlgC about(this);
        about.exec();
    });
}

// Closing may save (the unsaved-settings question), so it is an operation like the others.
void ORYX_62_63_CfgDlgC::Close(bool (ModemDialogCoreC::*way)()) {
    busy_->Run([this, way] {
        if ((core_.*way)()) {
            done(QDialog::Accepted);
        }
    });
}

// Escape and the title-bar close both arrive here.
void ORYX_62_63_CfgDlgC::reject() {
    if (busy_->DeferClose()) {
        return;
    }
    Close(&ModemDialogCoreC::OnCancelKey);
}

void ORYX_62_63_CfgDlgC::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        // Enter presses the button that has the focus. In the port box it ends the text typed
        // there: a user who has just typed a device server's address means to use it, not to
        // end the program. Elsewhere it is the dialog's OK.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else if (!IsPortText(focusWidget())) {
            Close(&ModemDialogCoreC::OnOkKey);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ORYX_62_63_CfgDlgC::IsPortText(const QWidget* widget) const {
    const auto* port = findChild<QComboBox*>(QString::number(IDC_PORT));
    return widget && port && (widget == port || port->isAncestorOf(widget));
}
