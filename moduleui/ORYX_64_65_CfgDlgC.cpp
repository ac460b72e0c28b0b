#include "moduleui/ORYX_64_65_CfgDlgC.h"

#include "app/BusyDialogC.h"
#include "app/DialogControlsC.h"
#include "app/DialogUnitsC.h"
#include "app/PortBoxFollowerC.h"
#include "app/SettingsStoreC.h"
#include "module/ModuleDiscoveryC.h"
#include "moduleui/CTabBasicSettings.h"
#include "moduleui/CTabCtrlEx.h"
#include "moduleui/CTabSearchPairSettings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

// The module family's discovery, first at the rate the baud box shows: the user's last rate
// is the likeliest. The rate is taken here, on the dialog's thread; the search runs on another.
FindRadioC::BlockingT ModuleDiscovery(const std::string& firstBaud) {
    return
        [firstBaud](const std::vector<std::string>& ports, const std::function<bool()>& cancelled,
                    const std::function<void()>& portDone) {
            ModuleDiscoveryC::OptionsS options;
            options.cancelled = cancelled;
            options.portDone = [portDone](const DiscoveredPortS&) { portDone(); };
            if (!firstBaud.empty()) {
                options.firstBaud = firstBaud;
            }
            return ModuleDiscoveryC::Run(ports, options);
        };
}

} // namespace

ORYX_64_65_CfgDlgC::ORYX_64_65_CfgDlgC(QWidget* parent)
    : ORYX_64_65_CfgDlgC(std::nullopt, std::make_unique<ControllerT>(), parent) {}

ORYX_64_65_CfgDlgC::ORYX_64_65_CfgDlgC(std::vector<std::string> ports,
                                       std::unique_ptr<ControllerT> controller, QWidget* parent)
    : ORYX_64_65_CfgDlgC(std::optional(std::move(ports)), std::move(controller), parent) {}

ORYX_64_65_CfgDlgC::ORYX_64_65_CfgDlgC(std::optional<std::vector<std::string>> fixedPorts,
                                       std::unique_ptr<ControllerT> controller, QWidget* parent)
    : QDialog(parent), eventLog_(EventLogFileC::kFileName, EventLogFileC::kMaxLines),
      controller_(std::move(controller)), core_(eventLog_, *this, *controller_),
      follower_(fixedPorts ? nullptr : std::make_unique<PortBoxFollowerC>()),
      busy_(new BusyDialogC(*this)) {
    DialogControlsC::OfferOnlyClose(*this);
    CreateControls();
    if (follower_) {
        connect(follower_.get(), &PortBoxFollowerC::Changed, this, [this] { ShowControls(); });
    }
    SettingsStoreC store;
    core_.OnInitDialog(fixedPorts ? *fixedPorts : follower_->Ports(), store.port().toStdString(),
                       store.baudrate().toStdString());
}

// The pages go first: their cores refer to the dialog's core and the controller.
ORYX_64_65_CfgDlgC::~ORYX_64_65_CfgDlgC() {
    delete tabs_;
}

void ORYX_64_65_CfgDlgC::CreateControls() {
    setWindowTitle(QStringLiteral("ORYX 64/65 Config Tool"));
    DialogUnitsC du(font());
    setFixedSize(du.size(166, 231));
    DialogControlsC controls(*this);

    (new QGroupBox(QStringLiteral("Port Settings"), this))->setGeometry(du.rect(3, 3, 159, 44));
    // A drop-down list's template height includes its open list; the closed box is one line.
    const int boxHeight = du.y(12);
    const QRect portLabelArea = du.rect(15, 18, 33, 8);
    const QRect baudLabelArea = du.rect(11, 33, 37, 8);
    DialogControlsC::LabelledBoxS port =
        controls.LabelledDropDown(IDC_PORT, QRect(du.x(55), du.y(15), du.x(51), boxHeight),
                                  IDC_PORT_LABEL, QStringLiteral("&COM Port:"), portLabelArea);
    DialogControlsC::LabelledBoxS baud =
        controls.LabelledDropDown(IDC_BAUD, QRect(du.x(55), du.y(30), du.x(51), boxHeight),
                                  IDC_BAUD_LABEL, QStringLiteral("Baud Rate:"), baudLabelArea);
    for (auto [label, area] :
         {std::pair(port.label, portLabelArea), std::pair(baud.label, baudLabelArea)}) {
        DialogControlsC::EndLabelAt(label, area);
    }
    port_ = port.box;
    DialogControlsC::MakePortBox(port_, core_.portBox);
    baud_ = baud.box;
    connect_ = controls.Button(IDC_CONNECT, QStringLiteral("Co&nnect"), du.rect(110, 14, 48, 14));
    // Under Connect, in the row the template leaves free.
    find_ = controls.Button(IDC_FIND, QStringLiteral("&Find…"), du.rect(110, 29, 48, 14));
    find_->setToolTip(QStringLiteral("Looks for a module on every port of the list at each "
                                     "rate, then chooses its port and rate; press Connect next."));

    tabs_ = new CTabCtrlEx(this);
    tabs_->setObjectName(QString::number(IDC_TABS));
    tabs_->setGeometry(du.rect(3, 53, 159, 142));
    settingsPage_ = new CTabBasicSettings(&core_, controller_.get());
    searchPage_ = new CTabSearchPairSettings(&core_, controller_.get());
    tabs_->AddTab(settingsPage_, QStringLiteral("Module Settings"));
    tabs_->AddTab(searchPage_, QStringLiteral("Search/Pairing"));
    core_.AddPages(settingsPage_->core(), searchPage_->core());
    tabs_->SelectTab(0);
    connect(tabs_, &CTabCtrlEx::pageChosen, this, [this](QWidget* page) {
        busy_->Run([page] { static_cast<ORYX_64_65_ConfigTabC*>(page)->TakeFocus(); });
    });

    status_ = new QLabel(this);
    status_->setObjectName(QString::number(IDC_STATUS));
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setGeometry(du.rect(3, 200, 159, 27));

    setTabOrder(port_, baud_);
    setTabOrder(baud_, connect_);
    setTabOrder(connect_, find_);
    setTabOrder(find_, tabs_->tabBar());
    connect(connect_, &QPushButton::clicked, this, [this] {
        busy_->Run([this] { core_.OnConnect(); });
        ShowControls(); // takes a port list change that came meanwhile
    });
    connect(find_, &QPushButton::clicked, this, &ORYX_64_65_CfgDlgC::OnFind);
    connect(port_, &QComboBox::activated, this, [this](int i) { core_.portBox.Select(i); });
    connect(baud_, &QComboBox::activated, this, [this](int i) { core_.baudBox.Select(i); });
}

// While the port is open, and while a connect goes over the rates, the box stays as it is;
// the change is taken once the port is closed.
void ORYX_64_65_CfgDlgC::FollowPorts() {
    if (follower_ && !core_.portOpen && !busy_->Busy() && follower_->TakeChange()) {
        core_.FollowPortList(follower_->Ports());
    }
}

void ORYX_64_65_CfgDlgC::ShowControls() {
    FollowPorts();
    DialogControlsC::ShowModel(port_, core_.portBox);
    DialogControlsC::ShowModel(baud_, core_.baudBox);
    // The label keeps the access key of the template's "Co&nnect".
    const bool open = core_.connectLabel == ModuleDialogCoreC::kDisconnectLabel;
    connect_->setText(open ? QStringLiteral("Disco&nnect") : QStringLiteral("Co&nnect"));
    connect_->setEnabled(core_.connectEnabled);
    find_->setEnabled(!core_.portOpen && core_.connectEnabled);
    tabs_->setEnabled(core_.tabsEnabled);
    status_->setText(QString::fromStdString(core_.status));
}

void ORYX_64_65_CfgDlgC::TakeControls() {
    core_.portBox.SetText(port_->currentText().toStdString());
    core_.baudBox.Select(baud_->currentIndex());
}

void ORYX_64_65_CfgDlgC::OnFind() {
    eventLog_.Log("Button 'Find...' pressed.");
    FindRadioC find(*this, eventLog_, "module");
    if (const std::optional<DiscoveredPortS> found = find.OnWorker(
            core_.portBox.Entries(),
            discovery_ ? discovery_ : ModuleDiscovery(core_.baudBox.SelectedText()))) {
        core_.ShowFound(*found);
    }
}

void ORYX_64_65_CfgDlgC::MessageBox(const std::string& text, const std::string& caption) {
    ORYX_64_65_ConfigTabC::ShowOkBox(this, text, caption);
}

void ORYX_64_65_CfgDlgC::SetWaitCursor(bool on) {
    ORYX_64_65_ConfigTabC::ShowWaitCursor(on);
}

void ORYX_64_65_CfgDlgC::Await(const std::function<void()>& work) {
    BusyDialogC::Await(work);
}

void ORYX_64_65_CfgDlgC::OnViewThread(const std::function<void()>& call) {
    BusyDialogC::OnInterfaceThread(call);
}

void ORYX_64_65_CfgDlgC::FocusSettingsPage() {
    tabs_->SelectTab(0);
    settingsPage_->TakeFocus();
}

void ORYX_64_65_CfgDlgC::StorePortSettings(const std::string& portText, const std::string& baudText,
                                           const std::string& flowText) {
    SettingsStoreC store;
    store.setPortSettings(QString::fromStdString(portText), QString::fromStdString(baudText));
    store.setFlowCtrl(QString::fromStdString(flowText));
}

void ORYX_64_65_CfgDlgC::Close(const char* closeLine) {
    core_.StorePortSettings(closeLine);
    done(QDialog::Accepted);
}

// Escape (also inside a page) and the title-bar close both arrive here.
void ORYX_64_65_CfgDlgC::reject() {
    if (busy_->DeferClose()) {
        return;
    }
    Close(ModuleDialogCoreC::kCloseLine);
}

void ORYX_64_65_CfgDlgC::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        // Enter presses the button that has the focus; elsewhere it is the dialog's OK.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            Close(ModuleDialogCoreC::kOkLine);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

// The window being shown or hidden, not restored or minimised: the window system's own show
// and hide (spontaneous) leave the user's tab, and a search's results, as they were.
void ORYX_64_65_CfgDlgC::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        tabs_->SelectTab(0);
    }
}

void ORYX_64_65_CfgDlgC::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        tabs_->SelectTab(0);
    }
}
