// Writes a PNG of every dialog of the program, in each of its states, into one folder, so
// the dialogs can be looked at without a desktop.
#include "app/ORYX_DetectDlgC.h"
#include "app/ORYX_HelpDlgC.h"
#include "app/RadioSelectionDlgC.h"

#if defined(ORYX_HAVE_MODEM_UI)
#include "modem/ORYX_62_63_CfgDlgC.h"
#include "modem/ServiceDlgC.h"
#endif

#if defined(ORYX_HAVE_MODULE_UI)
#include "moduleui/CTabBasicSettings.h"
#include "moduleui/CTabCtrlEx.h"
#include "moduleui/CTabSearchPairSettings.h"
#include "moduleui/ORYX_64_65_CfgDlgC.h"
#endif

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A port on a device server, typed into a port box.
[[maybe_unused]] constexpr const char* kNetworkPort = "rfc2217://cabinet-4:2000";

void Save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    QString path = folder.filePath(name + QStringLiteral(".png"));
    widget.grab().save(path);
    widget.hide();
    std::printf("%s\n", qPrintable(path));
}

#if defined(ORYX_HAVE_MODEM_UI)
void SaveModemDialogs(const QDir& folder) {
    ORYX_62_63_CfgDlgC modem({"ttyS0", "ttyUSB0", "/tmp/oryx-sim-0/modem-2410"});
    Save(modem, folder, QStringLiteral("modem-disconnected"));
    modem.core().fields().portBox.SetText(kNetworkPort);
    modem.ShowControls();
    Save(modem, folder, QStringLiteral("modem-network-port"));
    // The chosen adapter pulled out: the box keeps it, marked, until it comes back.
    modem.core().fields().portBox.SetMissingText("ttyUSB1");
    modem.ShowControls();
    // With the focus in the box its text would be selected, hiding how it is drawn.
    modem.findChild<QWidget*>(QString::number(ORYX_62_63_CfgDlgC::IDC_CONNECT))->setFocus();
    Save(modem, folder, QStringLiteral("modem-port-not-present"));

    // The connected state as it is after reading a 2410, without and with service mode.
    ModemFieldsC& f = modem.core().fields();
    f.connected = true;
    f.connectLabel = ModemFieldsC::kDisconnectLabel;
    modem.core().session().ShowConnectedState();
    f.deviceBox.Select(1);
    f.modeBox.Select(1);
    f.linkBox.Select(10);
    f.band = "06";
    f.power = 1;
    modem.ShowControls();
    Save(modem, folder, QStringLiteral("modem-connected"));
    modem.setServiceMode(true);
    f.serviceEnabled = true;
    modem.ShowControls();
    Save(modem, folder, QStringLiteral("modem-connected-service"));

    ServiceDlgC service(f, &modem);
    Save(service, folder, QStringLiteral("service"));
}
#endif

#if defined(ORYX_HAVE_MODULE_UI)
void SaveShown(QWidget& widget, const QDir& folder, const QString& name) {
    QApplication::processEvents();
    QString path = folder.filePath(name + QStringLiteral(".png"));
    widget.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

// Selects the pages directly: a tab click would make the page read from the module.
void SaveBothPages(ORYX_64_65_CfgDlgC& module, const QDir& folder, const QString& state) {
    module.show();
    SaveShown(module, folder, QStringLiteral("module-settings-") + state);
    module.tabs().page(0)->hide();
    module.tabs().SelectTab(1);
    if (module.core().commandMode) {
        module.core().SetStatus("Press Search, then select device from\nFound Devices and press "
                                "Pair to pair devices.\nPress Disconnect when finished");
    }
    SaveShown(module, folder, QStringLiteral("module-search-") + state);
    module.hide();
}

// A picture of window with dialog over it, as the user sees them.
void SaveOver(QWidget& window, QWidget& dialog, const QDir& folder, const QString& name) {
    QPixmap picture = window.grab();
    const QPixmap over = dialog.grab();
    QPainter painter(&picture);
    // The offscreen platform draws no frames: a title bar tells the dialog from the window.
    const int bar = QFontMetrics(dialog.font()).height() + 6;
    const QPoint at((picture.width() - over.width()) / 2, (picture.height() - over.height()) / 3);
    const QRect title(at.x(), at.y() - bar, over.width(), bar);
    painter.fillRect(title.united(QRect(at, over.size())).adjusted(-1, -1, 1, 1), Qt::darkGray);
    painter.fillRect(title, QColor(0x3a, 0x5f, 0x8f));
    painter.setPen(Qt::white);
    painter.drawText(title.adjusted(6, 0, 0, 0), Qt::AlignVCenter, dialog.windowTitle());
    painter.drawPixmap(at, over);
    painter.end();
    QString path = folder.filePath(name + QStringLiteral(".png"));
    picture.save(path);
    std::printf("%s\n", qPrintable(path));
}

// Runs run, and acts on each modal dialog that opens meanwhile, in turn.
void ActingOnModals(const std::vector<std::function<void(QWidget*)>>& acts,
                    const std::function<void()>& run) {
    QTimer timer;
    size_t next = 0;
    QWidget* last = nullptr;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != last && modal->isVisible() && next < acts.size()) {
            last = modal;
            acts[next++](modal);
        }
    });
    timer.start(20);
    run();
}

// Find... as the user sees it: the search running, then the list of the modules that
// answered, and the dialog with the one picked.
void SaveModuleFind(ORYX_64_65_CfgDlgC& module, const QDir& folder) {
    std::atomic<bool> seen{false};
    module.SetDiscovery([&seen](const std::vector<std::string>& ports, const auto& cancelled,
                                const auto& portDone) {
        portDone();
        while (!seen && !cancelled()) {
            QThread::msleep(10);
        }
        return std::vector<DiscoveredPortS>{
            {ports[0], "module", false, "", "", "", "no answer"},
            {ports[1], "module", true, "ORYX-64 Pump 3", "0080370A1B2C", "57600", ""},
            {ports[2], "module", true, "ORYX-64 Tank 1", "0080370A1B77", "9600", ""}};
    });
    module.show();
    ActingOnModals(
        {[&](QWidget* progress) {
             QTimer::singleShot(400, progress, [&, progress] {
                 SaveShown(*progress, folder, QStringLiteral("find-progress"));
                 SaveOver(module, *progress, folder, QStringLiteral("find-radio"));
                 seen = true;
             });
         },
         [&](QWidget* pick) {
             SaveShown(*pick, folder, QStringLiteral("find-pick"));
             static_cast<QDialog*>(pick)->accept();
         }},
        [&] {
            module.findChild<QPushButton*>(QString::number(ORYX_64_65_CfgDlgC::IDC_FIND))->click();
        });
    SaveShown(module, folder, QStringLiteral("module-found"));
    module.hide();
}

void SaveModuleDialog(const QDir& folder) {
    ORYX_64_65_CfgDlgC module({"ttyS0", "ttyUSB0", "/tmp/oryx-sim-0/module"},
                              std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    SaveBothPages(module, folder, QStringLiteral("disconnected"));
    // During the fallback over the rates: the stored rate failed, the next one is tried.
    module.core().connectEnabled = false;
    module.core().SetBaudText("4800");
    module.core().SetStatus("Connect with 57600 baud failed");
    Save(module, folder, QStringLiteral("module-fallback"));
    module.core().connectEnabled = true;
    module.core().SetBaudText("57600");
    SaveModuleFind(module, folder);
    module.core().portBox.SetText(kNetworkPort);
    module.ShowControls();
    Save(module, folder, QStringLiteral("module-network-port"));

    // The connected state as it is after reading a module in the client role and a search.
    ModuleDialogCoreC& core = module.core();
    core.SetPortOpen(true);
    core.SetBaudText("57600");
    core.commandMode = true;
    core.tabsEnabled = true;
    core.SetStatus("Read and write module configuration");
    BasicSettingsCoreC& settings = module.settingsPage().core();
    settings.SetEnabled(true);
    settings.localName = "ORYX-64 Pump 3";
    settings.btAddress = "0080370A1B2C";
    settings.moduleBaudText = "57600";
    settings.deviceRole = BasicSettingsCoreC::kClientRole;
    settings.ShowMembers();
    SearchPairCoreC& search = module.searchPage().core();
    search.SetEnabled(true);
    search.SetClientRole(true);
    search.pairedDevice = "Tank sensor 1 (00803712AB01)";
    search.listLines = {"Tank sensor 1 (00803712AB01)", "Tank sensor 2 (00803712AB02)",
                        "Service laptop (0019E3C40D55)"};
    search.OnLineSelected(1);
    SaveBothPages(module, folder, QStringLiteral("connected"));

    // A search under way: the list emptied, the status says so.
    const std::vector<std::string> found = search.listLines;
    search.listLines.clear();
    search.OnLineSelected(-1);
    module.show();
    module.tabs().page(0)->hide();
    module.tabs().SelectTab(1);
    core.SetStatus("Searching for devices ...");
    SaveShown(module, folder, QStringLiteral("module-searching"));
    module.hide();
    search.listLines = found;
}
#endif

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    folder.mkpath(QStringLiteral("."));
    folder.makeAbsolute();

    // The dialogs log and read settings; keep both away from the user's own.
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());

    RadioSelectionDlgC selection;
    Save(selection, folder, QStringLiteral("select-radio-type"));

    ORYX_HelpDlgC about;
    Save(about, folder, QStringLiteral("about"));

    ORYX_DetectDlgC detect;
    detect.setWindowTitle(QStringLiteral("Waiting for radio at 9600 bps..."));
    Save(detect, folder, QStringLiteral("detect"));

#if defined(ORYX_HAVE_MODEM_UI)
    SaveModemDialogs(folder);
#endif
#if defined(ORYX_HAVE_MODULE_UI)
    SaveModuleDialog(folder);
#endif
    return 0;
}
