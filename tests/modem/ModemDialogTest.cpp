#include "IsolatedSettingsC.h"
#include "ModalDriverC.h"
#include "OwnSimulatorFolderC.h"
#include "PortBoxUserC.h"
#include "Ser2netServerC.h"
#include "app/DialogControlsC.h"
#include "app/ORYX_CfgAppC.h"
#include "app/ORYX_DetectDlgC.h"
#include "app/ORYX_HelpDlgC.h"
#include "app/RadioSelectionDlgC.h"
#include "modem/ORYX_62_63_CfgDlgC.h"
#include "modem/ServiceDlgC.h"
#include "program/ProgramDialogsC.h"
#include "sim/ModemRadio.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace {

using Dlg = ORYX_62_63_CfgDlgC;
using Lines = std::vector<std::string>;
constexpr auto ListsWithin = &PortBoxUserC::ListsWithin;
using namespace std::chrono_literals;

QString Id(int id) {
    return QString::number(id);
}

// Counts the openings of a device node from the moment it is made.
class OpenCounterC {
public:
    explicit OpenCounterC(const std::string& path) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_, path.c_str(), IN_OPEN);
    }
    ~OpenCounterC() { close(fd_); }
    int Openings() const {
        int count = 0;
        alignas(inotify_event) char events[4096];
        for (ssize_t got; (got = read(fd_, events, sizeof events)) > 0;) {
            for (char* at = events; at < events + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                count += (event->mask & IN_OPEN) != 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return count;
    }

private:
    int fd_;
};

QAction* NotPresentSign(QComboBox& box) {
    return box.lineEdit()->findChild<QAction*>(DialogControlsC::kNotPresentSign);
}

bool ShownNotPresent(QComboBox& box, const std::string& port) {
    QAction* sign = NotPresentSign(box);
    return box.currentText().toStdString() == port && box.currentIndex() < 0 && sign &&
           sign->isVisible() && box.toolTip().contains("not present");
}

class ModemDialogTest : public ::testing::Test {
protected:
    IsolatedSettingsC settings;
    ModalDriverC driver;
    std::unique_ptr<oryx::sim::ModemRadio> radio;

    void StartRadio(int model, uint32_t baud) {
        oryx::sim::ModemRadioOptions options;
        options.model = model;
        options.baud = baud;
        // The banner comes when a detect dialog is answered (see ClickAnswering): sent on
        // opening, it would race the purge that follows the opening.
        options.bannerOnOpen = false;
        options.values = {{"wn", 3}, {"pe", 6}, {"wp", 1}};
        radio = std::make_unique<oryx::sim::ModemRadio>(options);
        radio->start();
        settings.setRaw("Port", QString::fromStdString(radio->portText()));
        settings.setRaw("Baudrate", QString::number(baud));
    }

    std::unique_ptr<Dlg> OpenDialog(bool service = false) {
        auto dialog = std::make_unique<Dlg>(Lines{radio->portText()});
        dialog->setServiceMode(service);
        dialog->show();
        return dialog;
    }

    template <typename T> static T* Find(QWidget& dialog, int id) {
        T* widget = dialog.findChild<T*>(Id(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    static bool Enabled(QWidget& dialog, int id) { return Find<QWidget>(dialog, id)->isEnabled(); }

    // The user reconnects the cable while the detect dialog waits: the radio sends its banner.
    void ReconnectCable() { radio->reconnectCable(); }

    // Clicks a button and answers the modal dialogs it opens, in order (detect dialogs
    // included: an empty text reconnects the cable and lets them run).
    void ClickAnswering(QWidget& dialog, int id, const std::vector<QString>& answers) {
        for (const QString& answer : answers) {
            driver.then([this, answer](QWidget* modal) {
                if (answer.isEmpty()) {
                    ReconnectCable();
                } else {
                    ModalDriverC::Click(modal, answer);
                }
            });
        }
        Find<QPushButton>(dialog, id)->click();
    }

    static void ChooseLink(QWidget& dialog, int link) {
        auto* box = Find<QComboBox>(dialog, Dlg::IDC_LINK);
        box->setCurrentIndex(link);
        emit box->activated(link);
    }
};

TEST_F(ModemDialogTest, ControlStatesFollowTheConnection) {
    StartRadio(2410, 9600);
    auto dialog = OpenDialog();
    EXPECT_EQ(dialog->windowTitle(), "ORYX 62/63 Config Tool");
    for (int id :
         {Dlg::IDC_PORT, Dlg::IDC_BAUD, Dlg::IDC_CONNECT, Dlg::IDC_ABOUT, Dlg::IDC_CLOSE}) {
        EXPECT_TRUE(Enabled(*dialog, id)) << id;
    }
    for (int id : {Dlg::IDC_DEVICE, Dlg::IDC_DEVICE_LABEL, Dlg::IDC_LINK, Dlg::IDC_LINK_LABEL,
                   Dlg::IDC_MODE, Dlg::IDC_MODE_LABEL, Dlg::IDC_SAVE, Dlg::IDC_DEFAULT}) {
        EXPECT_FALSE(Enabled(*dialog, id)) << id;
    }
    EXPECT_FALSE(Find<QWidget>(*dialog, Dlg::IDC_SERVICE)->isVisible());
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_BAUD)->currentText(), "9600");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_PORT)->currentText().toStdString(),
              radio->portText());

    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {""});
    EXPECT_EQ(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_FALSE(Enabled(*dialog, Dlg::IDC_PORT));
    for (int id : {Dlg::IDC_BAUD, Dlg::IDC_DEVICE, Dlg::IDC_LINK, Dlg::IDC_MODE, Dlg::IDC_SAVE,
                   Dlg::IDC_DEFAULT, Dlg::IDC_LINK_LABEL}) {
        EXPECT_TRUE(Enabled(*dialog, id)) << id;
    }
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_LINK)->currentText(), "3");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_DEVICE)->count(), 3);
}

TEST_F(ModemDialogTest, PortBoxFollowsSimulatorsOnlyWhileNotConnected) {
    OwnSimulatorFolderC ownFolder(settings.dir().path());
    StartRadio(2410, 9600);
    Dlg dialog; // the machine's ports, followed
    dialog.show();
    auto* box = Find<QComboBox>(dialog, Dlg::IDC_PORT);
    ASSERT_EQ(box->currentText().toStdString(), radio->portText());

    oryx::sim::ModemRadio second(oryx::sim::ModemRadioOptions{});
    second.start();
    ASSERT_TRUE(ListsWithin(*box, second.portText(), true, 10s));
    EXPECT_EQ(box->currentText().toStdString(), radio->portText()) << "the choice is kept";
    // Opening a real adapter to describe it would raise its modem lines.
    OpenCounterC opens(second.host().slavePath());
    const QString tip =
        box->itemData(box->findText(QString::fromStdString(second.portText())), Qt::ToolTipRole)
            .toString();
    EXPECT_TRUE(tip.contains("Driver: simulator") && !tip.contains("Status:")) << tip.toStdString();
    EXPECT_EQ(opens.Openings(), 0) << "the tooltip opened the port";

    ClickAnswering(dialog, Dlg::IDC_CONNECT, {""});
    ASSERT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    second.stop();
    // Long enough for the dialog to hear of it: it keeps the port while connected.
    EXPECT_FALSE(ListsWithin(*box, second.portText(), false, 1s)) << "connected: the box stays";

    ClickAnswering(dialog, Dlg::IDC_CONNECT, {});
    EXPECT_TRUE(ListsWithin(*box, second.portText(), false, 10s)) << "taken once disconnected";
    EXPECT_EQ(box->currentText().toStdString(), radio->portText());
}

// A device server's port typed into the box, served by ser2net: detection moves on from the
// stored rate to the radio's over the network, the settings are read, and the text is
// stored and is the box's text next time although no entry lists it.
TEST_F(ModemDialogTest, ATypedNetworkPortConnectsWithTheFallbackAndComesBack) {
    StartRadio(2410, 57600);
    settings.setRaw("Baudrate", "19200");
    Ser2netServerC server(radio->portText());
    if (!server.available()) {
        GTEST_SKIP() << server.problem();
    }
    const QString typed = QString::fromStdString(server.portText());
    auto dialog = OpenDialog();
    PortBoxUserC::Type(*Find<QComboBox>(*dialog, Dlg::IDC_PORT), typed);

    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {"", ""}); // garbled at 19200, then 57600
    EXPECT_EQ(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_BAUD)->currentText(), "57600");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_LINK)->currentText(), "3");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_PORT)->currentText(), typed);
    ClickAnswering(*dialog, Dlg::IDC_CLOSE, {});
    EXPECT_TRUE(radio->traffic().waitForWritten("z>\r\n", 5s));
    EXPECT_EQ(settings.raw("Port").toString(), typed);
    const auto texts = settings.eventLogTexts();
    for (const std::string& line : {std::string("Could't read banner, port closed."),
                                    "Port " + server.portText() + " opened at 57600"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), line), texts.end()) << line;
    }

    auto again = OpenDialog();
    EXPECT_TRUE(PortBoxUserC::ShowsUnlisted(*Find<QComboBox>(*again, Dlg::IDC_PORT), typed))
        << "a network port is never an entry";
}

// The port list is refreshed without opening the typed port, and the refresh keeps it.
TEST_F(ModemDialogTest, ATypedPortOutlivesAPortListRefreshUntried) {
    OwnSimulatorFolderC ownFolder(settings.dir().path());
    Dlg dialog; // the machine's ports, followed
    dialog.show();
    oryx::sim::ModemRadio plugged(oryx::sim::ModemRadioOptions{});
    QString typed;
    EXPECT_EQ(PortBoxUserC::TypeAndRefresh(
                  *Find<QComboBox>(dialog, Dlg::IDC_PORT),
                  [&plugged] {
                      plugged.start();
                      return plugged.portText();
                  },
                  typed),
              "");
    Find<QPushButton>(dialog, Dlg::IDC_CLOSE)->click();
    EXPECT_EQ(settings.raw("Port").toString(), typed);
}

// An adapter pulled out for a moment, the simulator restarted: the box keeps the port, says
// it is not present, chooses it again when it is back, and closing stores it.
TEST_F(ModemDialogTest, APortThatLeavesForAMomentStaysTheChoice) {
    OwnSimulatorFolderC ownFolder(settings.dir().path());
    StartRadio(2410, 9600);
    const std::string port = radio->portText();
    Dlg dialog; // the machine's ports, followed
    dialog.show();
    auto* box = Find<QComboBox>(dialog, Dlg::IDC_PORT);
    ASSERT_EQ(box->currentText().toStdString(), port);

    radio.reset();
    ASSERT_TRUE(ListsWithin(*box, port, false, 10s));
    EXPECT_TRUE(ShownNotPresent(*box, port)) << box->currentText().toStdString();
    StartRadio(2410, 9600);
    ASSERT_TRUE(ListsWithin(*box, port, true, 10s));
    EXPECT_EQ(box->currentIndex(), box->findText(QString::fromStdString(port)));
    EXPECT_FALSE(NotPresentSign(*box)->isVisible());

    radio.reset();
    ASSERT_TRUE(ListsWithin(*box, port, false, 10s));
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CLOSE), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.raw("Port").toString().toStdString(), port);
}

// Pulled out while connected: the box stays as it is until the disconnect, then keeps the
// port, marked, and closing stores it.
TEST_F(ModemDialogTest, APortThatLeavesWhileConnectedStaysTheChoice) {
    OwnSimulatorFolderC ownFolder(settings.dir().path());
    StartRadio(2410, 9600);
    const std::string port = radio->portText();
    Dlg dialog; // the machine's ports, followed
    dialog.show();
    auto* box = Find<QComboBox>(dialog, Dlg::IDC_PORT);
    ClickAnswering(dialog, Dlg::IDC_CONNECT, {""});
    ASSERT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");

    radio.reset();
    EXPECT_FALSE(ListsWithin(*box, port, false, 1s)) << "connected: the box stays";
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CONNECT), Qt::LeftButton);
    ASSERT_TRUE(ListsWithin(*box, port, false, 10s));
    EXPECT_TRUE(ShownNotPresent(*box, port)) << box->currentText().toStdString();
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CLOSE), Qt::LeftButton);
    EXPECT_EQ(settings.raw("Port").toString().toStdString(), port);
}

// Opened while the stored port is unplugged: the box shows that port rather than nothing,
// and closing keeps it stored instead of an empty text (which reads back as COM1).
TEST_F(ModemDialogTest, AStoredPortThatIsNotPresentStaysStored) {
    const std::string port = settings.dir().path() + "/unplugged-adapter";
    settings.setRaw("Port", QString::fromStdString(port));
    Dlg dialog(Lines{"ttyS0"});
    dialog.show();
    EXPECT_TRUE(ShownNotPresent(*Find<QComboBox>(dialog, Dlg::IDC_PORT), port));
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CLOSE), Qt::LeftButton);
    EXPECT_EQ(settings.raw("Port").toString().toStdString(), port);

    Dlg again(Lines{"ttyS0"});
    again.show();
    auto* box = Find<QComboBox>(again, Dlg::IDC_PORT);
    PortBoxUserC::Type(*box, "ttyS0");
    EXPECT_FALSE(NotPresentSign(*box)->isVisible()) << "the user's own choice is no missing port";
}

// Enter after typing a port ends the typing; it does not close the program.
TEST_F(ModemDialogTest, EnterInThePortTextKeepsTheDialogOpen) {
    Dlg dialog(Lines{"ttyS0"});
    dialog.show();
    auto* box = Find<QComboBox>(dialog, Dlg::IDC_PORT);
    PortBoxUserC::Type(*box, "rfc2217://127.0.0.1:1");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(box->currentText(), "rfc2217://127.0.0.1:1");
    const auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Title bar button 'Ok' pressed."), 0);
}

// A second click on Connect while the settings are read (nothing seems to happen) is the
// window system's to deliver once the read is done; acted on, it would disconnect at once.
TEST_F(ModemDialogTest, AConnectClickDuringTheReadIsDropped) {
    StartRadio(2410, 9600);
    auto dialog = OpenDialog();
    auto* connect = Find<QPushButton>(*dialog, Dlg::IDC_CONNECT);
    const QPointF at = QRectF(connect->rect()).center();
    const QPointF global = connect->mapToGlobal(at);
    bool posted = false;
    std::thread user([&] {
        if (!radio->traffic().waitForWritten("wb?", 20s)) {
            return;
        }
        // Slow answers keep the read going well after the click.
        radio->setFaults({.splitIntoBytes = true, .byteGap = 40ms});
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(connect, new QMouseEvent(type, at, global, Qt::LeftButton,
                                                                 Qt::LeftButton, Qt::NoModifier));
        }
        posted = true;
    });
    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {""});
    user.join();
    ASSERT_TRUE(posted) << "the read never began";
    QApplication::processEvents();
    EXPECT_EQ(connect->text().toStdString(), "Disco&nnect");
    const auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Button 'Disconnect' pressed."), 0);
}

// The device server's own words reach the user: in the message box and in the event log.
TEST_F(ModemDialogTest, ANetworkPortThatDoesNotOpenSaysWhy) {
    for (const PortBoxUserC::FailingPortS& c : PortBoxUserC::FailingNetworkPorts()) {
        Dlg dialog(Lines{"ttyS0"});
        dialog.show();
        PortBoxUserC::Type(*Find<QComboBox>(dialog, Dlg::IDC_PORT), QString::fromStdString(c.port));
        QString shown;
        driver.thenOk(shown);
        Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
        EXPECT_TRUE(shown.startsWith("Cannot open port.\n") && shown.contains(c.why))
            << shown.toStdString();
        const auto texts = settings.eventLogTexts();
        // Tried once: a device server that fails does not come round at the next rate.
        EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                                [&](const std::string& line) {
                                    return line.starts_with("ERROR: Port " + c.port) &&
                                           line.find(c.why) != line.npos;
                                }),
                  1)
            << c.port;
    }
}

TEST_F(ModemDialogTest, ServiceModeShowsTheServiceButtonEnabledOnlyWhileConnected) {
    StartRadio(2410, 9600);
    auto dialog = OpenDialog(true);
    auto* service = Find<QPushButton>(*dialog, Dlg::IDC_SERVICE);
    EXPECT_TRUE(service->isVisible());
    EXPECT_FALSE(service->isEnabled());
    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {""});
    EXPECT_TRUE(service->isEnabled());

    // Service: "Altorvia USA" sets band 00; the change makes Close ask; No sends "z>".
    driver.then([](QWidget* modal) {
        auto* band = modal->findChild<QComboBox*>(Id(ServiceDlgC::IDC_BAND));
        EXPECT_EQ(band->currentIndex(), 0) << "band 06 is the 2410's worldwide code";
        band->setCurrentIndex(1);
        ModalDriverC::Click(modal, "OK");
    });
    service->click();
    EXPECT_EQ(dialog->core().fields().band, "00");
    radio->traffic().clear();
    ClickAnswering(*dialog, Dlg::IDC_CLOSE, {"No"});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(radio->traffic().waitForWritten("z>\r\n", std::chrono::seconds(2)));
    auto texts = settings.eventLogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Return from 'Service' dialog."), texts.end());
}

TEST_F(ModemDialogTest, ServiceOkKeepsAPowerTheBoxDoesNotList) {
    ModemFieldsC fields;
    fields.modelNumber = 2410;
    fields.band = "06";
    fields.power = fields.readPower = 3;
    ServiceDlgC service(fields);
    EXPECT_EQ(service.findChild<QComboBox*>(Id(ServiceDlgC::IDC_POWER))->currentIndex(), -1);
    service.OnOK();
    EXPECT_EQ(fields.power, 3);
    EXPECT_EQ(fields.band, "06");
}

TEST_F(ModemDialogTest, CancelInTheDetectDialogLeavesTheDialogDisconnected) {
    StartRadio(2410, 9600);
    radio->setFaults({.silent = true});
    auto dialog = OpenDialog();
    driver.then([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Waiting for radio at 9600 bps...");
        QTimer::singleShot(300, modal, [modal] { ModalDriverC::Click(modal, "Cancel"); });
    });
    Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->click();
    EXPECT_EQ(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");
    EXPECT_TRUE(Enabled(*dialog, Dlg::IDC_PORT));
    auto texts = settings.eventLogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Tentative connection cancelled."),
              texts.end());
}

TEST_F(ModemDialogTest, DefaultsYesShowsAndStoresTheModelsDefaultRate) {
    StartRadio(2410, 9600);
    auto dialog = OpenDialog();
    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {""});
    ClickAnswering(*dialog, Dlg::IDC_DEFAULT, {"Yes"});
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_BAUD)->currentText(), "115200");
    EXPECT_EQ(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");
    EXPECT_EQ(settings.raw("Baudrate").toString(), "115200");
    EXPECT_EQ(radio->storedBaud(), 115200u);
}

// A save is a second of commands: the window goes on painting between them (its timers run
// while the radio is still being written to), and a click made meanwhile is still dropped.
TEST_F(ModemDialogTest, TheWindowPaintsBetweenTheCommandsOfASave) {
    StartRadio(2410, 9600);
    auto dialog = OpenDialog();
    ClickAnswering(*dialog, Dlg::IDC_CONNECT, {""});
    ChooseLink(*dialog, 10);
    radio->traffic().clear();
    int midway = 0;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        const std::string written = radio->traffic().written();
        if (!written.empty() && written.find("z>") == std::string::npos && ++midway == 1) {
            ModalDriverC::PostClick(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT));
        }
    });
    look.start(0);
    ClickAnswering(*dialog, Dlg::IDC_SAVE, {"OK"});
    look.stop();
    EXPECT_GT(midway, 0) << "nothing ran on the interface thread during the save";
    // The save is over for the dialog once its last line is written; the radio may still be
    // taking it in.
    ASSERT_TRUE(radio->traffic().waitForWritten("z>\r\n", 10s));
    EXPECT_EQ(radio->storedValue("wn"), 10u);
    const auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Button 'Connect' pressed."), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Button 'Disconnect' pressed."), 0);
}

TEST_F(ModemDialogTest, StoredComNumberSelectsTheDeviceItNames) {
    settings.setRaw("Port", "1");
    Dlg dialog(Lines{"ttyS0", "ttyUSB0"});
    EXPECT_EQ(dialog.findChild<QComboBox*>(Id(Dlg::IDC_PORT))->currentText(), "ttyS0");
    settings.setRaw("Port", "ttyU");
    Dlg byPrefix(Lines{"ttyS0", "ttyUSB0"});
    EXPECT_EQ(byPrefix.findChild<QComboBox*>(Id(Dlg::IDC_PORT))->currentText(), "ttyUSB0");
}

TEST_F(ModemDialogTest, EnterPressesTheFocusedButtonElseClosesAsOk) {
    StartRadio(2410, 9600);
    auto first = OpenDialog();
    Find<QPushButton>(*first, Dlg::IDC_CLOSE)->setFocus();
    ModalDriverC::PressKey(first.get(), Qt::Key_Return);
    EXPECT_FALSE(first->isVisible());
    auto second = OpenDialog();
    Find<QComboBox>(*second, Dlg::IDC_BAUD)->setFocus();
    ModalDriverC::PressKey(second.get(), Qt::Key_Return);
    EXPECT_FALSE(second->isVisible());
    auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Button 'Close' pressed."), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Title bar button 'Ok' pressed."), 1);
}

TEST(ServiceDialog, OpensOnTheFieldsAndOnlyOkChangesThem) {
    ModemFieldsC fields;
    fields.modelNumber = 2450;
    fields.band = "0B";
    fields.power = 2;
    {
        ServiceDlgC service(fields);
        auto* band = service.findChild<QComboBox*>(Id(ServiceDlgC::IDC_BAND));
        auto* power = service.findChild<QComboBox*>(Id(ServiceDlgC::IDC_POWER));
        EXPECT_EQ(band->currentText(), "Altorvia Worldwide");
        EXPECT_EQ(power->currentText(), "High 250mW");
        band->setCurrentIndex(1);
        power->setCurrentIndex(0);
        service.reject();
    }
    EXPECT_EQ(fields.band, "0B") << "Cancel changes nothing";
    EXPECT_EQ(fields.power, 2);

    fields.modelNumber = 2400;
    fields.band = "06";
    ServiceDlgC service(fields);
    auto* band = service.findChild<QComboBox*>(Id(ServiceDlgC::IDC_BAND));
    EXPECT_EQ(band->currentText(), "Altorvia USA") << "06 is not the 2400's worldwide code";
    EXPECT_EQ(service.findChild<QComboBox*>(Id(ServiceDlgC::IDC_POWER))->count(), 2);
    band->setCurrentIndex(0);
    service.OnOK();
    EXPECT_EQ(fields.band, "01");
}

TEST(ServiceDialog, EnterOnAFocusedCancelCancels) {
    ModemFieldsC fields;
    fields.modelNumber = 2450;
    fields.band = "0B";
    ServiceDlgC service(fields);
    ModalDriverC driver;
    driver.then([](QWidget* modal) {
        modal->findChild<QComboBox*>(Id(ServiceDlgC::IDC_BAND))->setCurrentIndex(1);
        modal->findChild<QWidget*>(Id(ServiceDlgC::IDC_CANCEL))->setFocus();
        ModalDriverC::PressKey(modal, Qt::Key_Return);
    });
    EXPECT_EQ(service.exec(), QDialog::Rejected);
    EXPECT_EQ(fields.band, "0B");
}

TEST(ServiceDialog, OkWithAnUntouchedBandBoxKeepsTheRadiosBand) {
    // Bands the box can only show as "USA" (another model's code, an unknown model).
    for (const auto& [model, band] : {std::pair{2400, "06"}, std::pair{0, "0B"}}) {
        ModemFieldsC fields;
        fields.modelNumber = model;
        fields.band = band;
        ServiceDlgC service(fields);
        service.OnOK();
        EXPECT_EQ(fields.band, band) << model;
    }
}

TEST_F(ModemDialogTest, AboutShowsVersionAndBuildDate) {
    ORYX_HelpDlgC about;
    EXPECT_EQ(about.findChild<QLabel*>(Id(ORYX_HelpDlgC::IDC_VERSION))->text(),
              "Version: 2, 4  (Build 1)");
    EXPECT_TRUE(about.findChild<QLabel*>(Id(ORYX_HelpDlgC::IDC_BUILD_DATE))
                    ->text()
                    .startsWith("Built on "));
    VersionRecordC plain("040904b0", {{"FileVersion", "2, 4, 0, 0"}});
    ORYX_HelpDlgC withoutBuild(nullptr, plain);
    EXPECT_EQ(withoutBuild.findChild<QLabel*>(Id(ORYX_HelpDlgC::IDC_VERSION))->text(), "Version: ");
    EXPECT_EQ(ORYX_HelpDlgC::GetVersionText(
                  VersionRecordC("040904b0", {{"FileVersion", "2"}, {"SpecialBuild", "7"}})),
              "  (Build 7)");
    EXPECT_EQ(ORYX_HelpDlgC::GetVersionText(VersionRecordC("040904b0", {{"SpecialBuild", "7"}})),
              "")
        << "a record without a file version has no version text";
}

TEST_F(ModemDialogTest, AUserConfiguresA2410FromStartToEnd) {
    StartRadio(2410, 9600);
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    factory.Register(ConfigDialogFactoryC::MODEM_FAMILY, [this](bool service) {
        auto dialog = std::make_unique<Dlg>(Lines{radio->portText()});
        dialog->setServiceMode(service);
        return std::unique_ptr<QDialog>(std::move(dialog));
    });

    driver.then([](QWidget* modal) { ModalDriverC::Click(modal, "OK"); });
    driver.then([this](QWidget* modal) {
        // The modem dialog: connect, change the link, save, close.
        driver.then([this](QWidget*) { ReconnectCable(); }); // detect
        QTimer::singleShot(0, modal, [this, modal] {
            ModalDriverC::Click(modal, Id(Dlg::IDC_CONNECT));
            ChooseLink(*modal, 10);
            driver.then([](QWidget* box) { ModalDriverC::Click(box, "OK"); }); // "Settings saved."
            ModalDriverC::Click(modal, Id(Dlg::IDC_SAVE));
            ModalDriverC::Click(modal, Id(Dlg::IDC_CLOSE));
        });
    });
    ORYX_CfgAppC(factory, "").InitInstance();
    EXPECT_TRUE(radio->traffic().waitForWritten("z>\r\n", std::chrono::seconds(5)));
    EXPECT_EQ(radio->storedValue("wn"), 10u);

    auto texts = settings.eventLogTexts();
    auto at = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) - texts.begin();
    };
    std::vector<std::string> inOrder = {"RadioSelectionDlgC::OnBtnOk", "Button 'Connect' pressed.",
                                        "Radio settings read OK.",     "OnSave",
                                        "Settings stored OK.",         "Button 'Close' pressed.",
                                        "Application closed"};
    for (size_t i = 1; i < inOrder.size(); ++i) {
        EXPECT_LT(at(inOrder[i - 1]), at(inOrder[i])) << inOrder[i];
    }
    EXPECT_LT(at("Application closed"), static_cast<long>(texts.size()));
    EXPECT_EQ(texts.back(), "Application closed");
}

// The family's own discovery: the ports listen, the user reconnects the cable once when
// asked, and the radio's port and rate are chosen; Connect then detects it at that rate.
TEST_F(ModemDialogTest, FindWithTheFamilysDiscoveryHearsTheRadioAfterOneReconnect) {
    StartRadio(2410, 9600);
    settings.setRaw("Baudrate", "115200");
    Dlg dialog(Lines{settings.dir().file("no-such-port"), radio->portText()});
    dialog.show();
    driver.then([this](QWidget* modal) {
        auto* asked = new QTimer(modal);
        QObject::connect(asked, &QTimer::timeout, modal, [this, modal, asked] {
            if (modal->windowTitle() == "Waiting for radio at 9600 bps...") {
                asked->stop();
                ReconnectCable();
            }
        });
        asked->start(20);
    });
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_FIND), Qt::LeftButton);
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_PORT)->currentText().toStdString(),
              radio->portText());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_BAUD)->currentText(), "9600");
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");

    ClickAnswering(dialog, Dlg::IDC_CONNECT, {""});
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_FALSE(Enabled(dialog, Dlg::IDC_FIND));
}

// Find... with a stand-in for the modem family's discovery: it asks for the cable to be
// reconnected and listens until the user has (or cancels); what it found is selected, with
// the dialog still disconnected.
TEST_F(ModemDialogTest, FindAsksForTheReconnectAndSelectsThePortAndRateFound) {
    settings.setRaw("Port", "ttyS1");
    settings.setRaw("Baudrate", "115200");
    const Lines ports{"ttyS0", "ttyS1", "ttyUSB0"};
    Dlg dialog(ports);
    dialog.show();
    bool reconnected = false;
    Lines searched;
    dialog.SetDiscovery([&](const Lines& given, const DetectWaitHooksS& wait,
                            const FindRadioC::PromptT& askReconnect) {
        searched = given;
        askReconnect(DetectWaitHooksS::kReconnectText, "9600");
        for (int i = 0; i < 1000 && !reconnected && !wait.cancelled(); ++i) {
            wait.pumpFor(10);
        }
        return std::vector<DiscoveredPortS>{{"ttyS0", "modem", false, "", "", "", "no answer"},
                                            {"ttyS1", "modem", false, "", "", "", "no answer"},
                                            {"ttyUSB0", "modem", true, "ORYX62", "", "19200", ""}};
    });
    const struct {
        bool cancel;
        const char* port;
        const char* baud;
    } cases[] = {{true, "ttyS1", "115200"}, {false, "ttyUSB0", "19200"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancel);
        QString title;
        QString text;
        driver.then([&](QWidget* modal) {
            QTimer::singleShot(300, modal, [&, modal] {
                title = modal->windowTitle();
                text = Find<QLabel>(*modal, ORYX_DetectDlgC::IDC_TEXT)->text();
                if (c.cancel) {
                    ModalDriverC::Click(modal, "Cancel");
                } else {
                    reconnected = true;
                }
            });
        });
        QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_FIND), Qt::LeftButton);
        EXPECT_TRUE(driver.finished());
        EXPECT_EQ(searched, ports);
        EXPECT_EQ(title, "Waiting for radio at 9600 bps...");
        EXPECT_EQ(text, DetectWaitHooksS::kReconnectText);
        EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_PORT)->currentText(), c.port);
        EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_BAUD)->currentText(), c.baud);
        EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");
        EXPECT_TRUE(Enabled(dialog, Dlg::IDC_PORT));
        EXPECT_TRUE(Enabled(dialog, Dlg::IDC_FIND));
        EXPECT_FALSE(Enabled(dialog, Dlg::IDC_SAVE));
    }
}

} // namespace
