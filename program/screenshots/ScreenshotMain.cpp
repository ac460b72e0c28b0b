// Writes a PNG of every dialog of the program, in each of its states, into one folder, so
// the dialogs can be looked at without a desktop.
#include "app/ORYX_DetectDlgC.h"
#include "app/ORYX_HelpDlgC.h"
#include "app/RadioSelectionDlgC.h"

#if defined(ORYX_HAVE_MODEM_UI)
#include "modem/ORYX_62_63_CfgDlgC.h"
#include "modem/ServiceDlgC.h"
#endif

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

namespace {

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
    return 0;
}
