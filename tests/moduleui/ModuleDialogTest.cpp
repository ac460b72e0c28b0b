#include "DelayProxyC.h"
#include "IsolatedSettingsC.h"
#include "ModalDriverC.h"
#include "OwnSimulatorFolderC.h"
#include "PortBoxUserC.h"
#include "Ser2netServerC.h"
#include "UnsendableNameCasesS.h"
#include "app/DialogControlsC.h"
#include "app/ORYX_CfgAppC.h"
#include "app/PickRadioDlgC.h"
#include "app/RadioSelectionDlgC.h"
#include "moduleui/CTabBasicSettings.h"
#include "moduleui/CTabCtrlEx.h"
#include "moduleui/CTabSearchPairSettings.h"
#include "moduleui/ORYX_64_65_CfgDlgC.h"
#include "platform/SerialDevice.h"
#include "program/ProgramDialogsC.h"
#include "program/ProgramTraceC.h"
#include "sim/ModuleRadio.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

using Dlg = ORYX_64_65_CfgDlgC;
using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

QString Id(int id) {
    return QString::number(id);
}

template <typename T> T* Find(QWidget& dialog, int id) {
    T* widget = dialog.findChild<T*>(Id(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

// Presses a button from the keyboard: the focus on it, then the key.
void PressButton(QWidget& dialog, QWidget& page, int id, int key) {
    Find<QPushButton>(page, id)->setFocus();
    ModalDriverC::PressKey(&dialog, key);
}

// Clicks a widget with the mouse, as a user does (press and release at its middle).
void ClickAt(QWidget* widget, QPoint at = {}) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

void ClickTab(CTabCtrlEx& tabs, int index) {
    ClickAt(tabs.tabBar(), tabs.tabBar()->tabRect(index).center());
}

// What the window shows while an operation runs, looked at each time the event loop turns:
// every status text in its order, and whether Connect was seen disabled and the wait cursor
// seen on. Nothing is recorded unless the window keeps being served meanwhile.
class WhileBusyC {
public:
    explicit WhileBusyC(Dlg& dialog) : dialog_(dialog) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }
    // Runs once, the first time the status shows text.
    void When(const QString& text, std::function<void()> act) {
        when_ = text;
        act_ = std::move(act);
    }
    std::vector<std::string> statuses;
    bool connectDisabled = false;
    bool waitCursor = false;

private:
    void Look() {
        const QString status = Find<QLabel>(dialog_, Dlg::IDC_STATUS)->text();
        if (statuses.empty() || statuses.back() != status.toStdString()) {
            statuses.push_back(status.toStdString());
        }
        connectDisabled |= !Find<QPushButton>(dialog_, Dlg::IDC_CONNECT)->isEnabled();
        const QCursor* cursor = QApplication::overrideCursor();
        waitCursor |= cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        if (act_ && status == when_) {
            std::exchange(act_, nullptr)();
        }
    }

    Dlg& dialog_;
    QTimer timer_;
    QString when_;
    std::function<void()> act_;
};

bool Seen(const std::vector<std::string>& statuses, const std::string& text) {
    return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
}

class ModuleDialogTest : public ::testing::Test {
protected:
    IsolatedSettingsC settings;
    ModalDriverC driver;
    std::unique_ptr<oryx::sim::ModuleRadio> module;

    void StartModule(int baudCode = 8) {
        oryx::sim::ModuleRadioOptions options;
        options.linkName = "ui-dialog-" + std::to_string(::getpid());
        options.replyDelay = 0ms;
        options.inquiryDelay = 20ms;
        options.nameDelay = 10ms;
        options.settings.baudCode = baudCode;
        options.devices = {{"00803712AB01", 7978, "Tank 1"},
                           {"00803712AB02", 7978, "Tank 2"},
                           {"00803712AB03", 7978, "Tank 3"}};
        module = std::make_unique<oryx::sim::ModuleRadio>(options);
        module->start();
        settings.setRaw("Port", QString::fromStdString(module->portText()));
        settings.setRaw("Baudrate", "57600");
    }

    // Connects by a mouse click on Connect; true when the dialog shows the port open.
    static bool Connect(Dlg& dialog) {
        auto* connect = Find<QPushButton>(dialog, Dlg::IDC_CONNECT);
        ClickAt(connect);
        return connect->text() == "Disco&nnect";
    }

    // Writes the client role, the one in which the search page takes input.
    void WriteClientRole(Dlg& dialog) {
        QWidget& basic = dialog.settingsPage();
        ClickAt(Find<QRadioButton>(basic, CTabBasicSettings::IDC_CLIENT_ROLE));
        ClickAt(Find<QPushButton>(basic, ORYX_64_65_ConfigTabC::IDC_WRITE));
        ASSERT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(), "Settings written");
    }
};

// Ports coming and going keep the user's choice: a chosen port that leaves the list stays
// the box's text, shown as not present, is chosen again when it returns, and is what closing
// stores rather than whatever happens to be listed first.
TEST_F(ModuleDialogTest, NewPortListKeepsTheChoiceWhileItIsAbsent) {
    settings.setRaw("Port", "ttyS1");
    Dlg dialog({"ttyS0", "ttyS1", "ttyUSB0"}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    auto* box = Find<QComboBox>(dialog, Dlg::IDC_PORT);
    box->setCurrentIndex(2);
    emit box->activated(2);
    const struct {
        Lines ports;
        int index; // of the choice in the box, -1 while it is not listed
    } steps[] = {
        {{"ttyACM0", "ttyS1", "ttyUSB0"}, 2},
        {{"ttyS0", "ttyS1"}, -1},
        {{"ttyACM0"}, -1},
        {{"ttyS0", "ttyUSB0"}, 1},
        {{"ttyS0"}, -1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.ports.size());
        dialog.core().FollowPortList(step.ports);
        dialog.ShowControls();
        EXPECT_EQ(box->count(), static_cast<int>(step.ports.size()));
        EXPECT_EQ(box->currentText(), "ttyUSB0");
        EXPECT_EQ(box->currentIndex(), step.index);
        QAction* sign = box->lineEdit()->findChild<QAction*>(DialogControlsC::kNotPresentSign);
        EXPECT_EQ(sign != nullptr && sign->isVisible(), step.index < 0);
    }
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(settings.raw("Port").toString(), "ttyUSB0");
}

// A device server's port typed into the box, served by ser2net: Connect moves on from the
// stored rate to the module's over the network and the page reads the module; the text is
// stored and is the box's text next time although no entry lists it.
TEST_F(ModuleDialogTest, ATypedNetworkPortConnectsWithTheFallbackAndComesBack) {
    StartModule(5); // 9600
    settings.setRaw("Baudrate", "115200");
    Ser2netServerC server(module->portText());
    if (!server.available()) {
        GTEST_SKIP() << server.problem();
    }
    const QString typed = QString::fromStdString(server.portText());
    auto open = [] {
        return std::make_unique<Dlg>(Lines{"ttyS0"},
                                     std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    };
    auto dialog = open();
    dialog->show();
    PortBoxUserC::Type(*Find<QComboBox>(*dialog, Dlg::IDC_PORT), typed);

    Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->click(); // 115200 and 4800 fail, then 9600
    EXPECT_EQ(Find<QPushButton>(*dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_TRUE(Find<QWidget>(*dialog, Dlg::IDC_TABS)->isEnabled());
    EXPECT_EQ(Find<QLabel>(*dialog, Dlg::IDC_STATUS)->text(),
              "Read and write module configuration");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_BAUD)->currentText(), "9600");
    EXPECT_EQ(Find<QLineEdit>(dialog->settingsPage(), CTabBasicSettings::IDC_LOCAL_NAME)->text(),
              "ORYX-64");
    EXPECT_EQ(Find<QComboBox>(*dialog, Dlg::IDC_PORT)->currentText(), typed);
    ModalDriverC::PressKey(dialog.get(), Qt::Key_Escape); // in the port box
    EXPECT_EQ(settings.raw("Port").toString(), typed);
    EXPECT_EQ(settings.raw("Baudrate").toString(), "9600");

    auto again = open();
    EXPECT_TRUE(PortBoxUserC::ShowsUnlisted(*Find<QComboBox>(*again, Dlg::IDC_PORT), typed))
        << "a network port is never an entry";
}

// The same over a slow link (150 ms each way, 20 ms of jitter): the module's answers take the
// round trip on top of their own time, and the dialog connects and reads all the same.
TEST_F(ModuleDialogTest, ATypedNetworkPortOverASlowLinkConnectsAndReads) {
    StartModule(8); // 57600, the stored rate
    Ser2netServerC server(module->portText(), true, false);
    if (!server.available()) {
        GTEST_SKIP() << server.problem();
    }
    DelayProxyC link(server.port(), 150ms, 20ms);
    ASSERT_TRUE(link.available()) << link.problem();
    Dlg dialog(Lines{"ttyS0"}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    PortBoxUserC::Type(*Find<QComboBox>(dialog, Dlg::IDC_PORT),
                       QString::fromStdString(link.portText()));

    Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
    EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(), "Read and write module configuration");
    EXPECT_EQ(Find<QLineEdit>(dialog.settingsPage(), CTabBasicSettings::IDC_LOCAL_NAME)->text(),
              "ORYX-64");
    EXPECT_EQ(Find<QLineEdit>(dialog.settingsPage(), CTabBasicSettings::IDC_BT_ADDRESS)->text(),
              "0080370A1B2C");
}

// The port list is refreshed without opening the typed port, and the refresh keeps it.
TEST_F(ModuleDialogTest, ATypedPortOutlivesAPortListRefreshUntried) {
    OwnSimulatorFolderC ownFolder(settings.dir().path());
    Dlg dialog; // the machine's ports, followed
    dialog.show();
    QString typed;
    EXPECT_EQ(PortBoxUserC::TypeAndRefresh(
                  *Find<QComboBox>(dialog, Dlg::IDC_PORT),
                  [this] {
                      StartModule();
                      return module->portText();
                  },
                  typed),
              "");
    ModalDriverC::PressKey(&dialog, Qt::Key_Escape);
    EXPECT_EQ(settings.raw("Port").toString(), typed);
}

// The device server's own words reach the user: in the message box and in the event log.
TEST_F(ModuleDialogTest, ANetworkPortThatDoesNotOpenSaysWhy) {
    for (const PortBoxUserC::FailingPortS& c : PortBoxUserC::FailingNetworkPorts()) {
        Dlg dialog(Lines{"ttyS0"}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
        dialog.show();
        PortBoxUserC::Type(*Find<QComboBox>(dialog, Dlg::IDC_PORT), QString::fromStdString(c.port));
        QString shown;
        driver.thenOk(shown);
        Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
        const std::string cannot = "Cannot open port " + c.port + "!";
        EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text().toStdString(), cannot);
        EXPECT_TRUE(shown.startsWith(QString::fromStdString(cannot + "\n")) &&
                    shown.contains(c.why))
            << shown.toStdString();
        const auto texts = settings.eventLogTexts();
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::string& line) {
            return line.starts_with("ERROR: " + cannot) && line.find(c.why) != line.npos;
        })) << c.port;
    }
}

TEST_F(ModuleDialogTest, ShowsItsControlsAndKeepsThePageAreaOfTheTabControl) {
    settings.setRaw("Port", "2");
    settings.setRaw("Baudrate", "14400");
    Dlg dialog({"ttyS0", "ttyS1", "ttyUSB0"}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "ORYX 64/65 Config Tool");
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");
    EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_PORT_LABEL)->text(), "&COM Port:");
    EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(),
              "Select port settings, then press Connect");
    // A stored COM number selects the device it names; a rate not offered selects nothing.
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_PORT)->currentText(), "ttyS1");
    auto* baud = Find<QComboBox>(dialog, Dlg::IDC_BAUD);
    EXPECT_EQ(baud->count(), 5);
    EXPECT_EQ(baud->currentIndex(), -1);
    EXPECT_FALSE(Find<QWidget>(dialog, Dlg::IDC_TABS)->isEnabled());

    CTabCtrlEx& tabs = dialog.tabs();
    EXPECT_EQ(tabs.tabBar()->tabText(0), "Module Settings");
    EXPECT_EQ(tabs.tabBar()->tabText(1), "Search/Pairing");
    QWidget* first = tabs.page(0);
    EXPECT_EQ(first->geometry(), QRect(3, 25, tabs.width() - 7, tabs.height() - 30));
    EXPECT_TRUE(first->isVisible());

    tabs.SelectTab(5);
    EXPECT_EQ(tabs.currentTab(), 5);
    EXPECT_TRUE(first->isVisible());
    tabs.SelectTab(-1);
    emit tabs.tabBar()->tabBarClicked(1);
    EXPECT_FALSE(first->isVisible());
    EXPECT_TRUE(tabs.page(1)->isVisible());
    EXPECT_EQ(tabs.currentTab(), 1);
    dialog.hide();
    dialog.show();
    EXPECT_EQ(tabs.currentTab(), 0);
}

// The name travels quoted: Write refuses one that would end the quote with a message box,
// and sends nothing, the role commands neither.
TEST_F(ModuleDialogTest, WriteRefusesANameThatCannotTravelQuotedBeforeAnythingIsSent) {
    StartModule();
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
    ASSERT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    QWidget& basic = dialog.settingsPage();
    Find<QRadioButton>(basic, CTabBasicSettings::IDC_CLIENT_ROLE)->click();
    module->traffic().clear();
    for (const UnsendableNameCasesS& c : UnsendableNameCasesS::All()) {
        Find<QLineEdit>(basic, CTabBasicSettings::IDC_LOCAL_NAME)
            ->setText(QString::fromStdString(c.name));
        QString shown;
        driver.thenOk(shown);
        PressButton(dialog, basic, ORYX_64_65_ConfigTabC::IDC_WRITE, Qt::Key_Space);
        EXPECT_EQ(shown.toStdString(), c.Refusal());
    }
    EXPECT_EQ(module->traffic().written().find("AT*"), std::string::npos)
        << module->traffic().written();
}

// Enter in a page's control stays in the page: the dialog's OK would close the port and end
// the program.
TEST_F(ModuleDialogTest, EnterInAPageKeepsTheDialogOpen) {
    StartModule();
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    auto* connect = Find<QPushButton>(dialog, Dlg::IDC_CONNECT);
    connect->click();
    ASSERT_EQ(connect->text(), "Disco&nnect");
    // The search page's list takes input with the module in the client role.
    Find<QRadioButton>(dialog.settingsPage(), CTabBasicSettings::IDC_CLIENT_ROLE)->click();
    PressButton(dialog, dialog.settingsPage(), ORYX_64_65_ConfigTabC::IDC_WRITE, Qt::Key_Space);
    const struct {
        int tab;
        int id;
    } controls[] = {
        {0, CTabBasicSettings::IDC_LOCAL_NAME},         {0, CTabBasicSettings::IDC_MODULE_BAUD},
        {0, CTabBasicSettings::IDC_CLIENT_ROLE},        {0, CTabBasicSettings::IDC_SERVER_ROLE},
        {1, CTabSearchPairSettings::IDC_FOUND_DEVICES},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        dialog.tabs().SelectTab(c.tab);
        QWidget* control = Find<QWidget>(*dialog.tabs().page(c.tab), c.id);
        ASSERT_TRUE(control->isEnabled());
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(connect->text(), "Disco&nnect");
    }
    const auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Title bar button 'Ok' pressed."), 0);
}

// Only focus arriving from elsewhere reads the module: a click on the page's background, a
// label or the read-only address field is no reason to talk to it.
TEST_F(ModuleDialogTest, AStrayClickInAPageDoesNotRead) {
    StartModule();
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    // Activation hands the page its focus, which reads: let that be over first.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
    ASSERT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    QWidget& basic = dialog.settingsPage();
    QLabel* label = nullptr;
    for (QLabel* l : basic.findChildren<QLabel*>()) {
        label = l->text() == "Local Name" ? l : label;
    }
    ASSERT_NE(label, nullptr);
    const QPoint background(basic.width() - 2, basic.height() - 2);
    ASSERT_EQ(basic.childAt(background), nullptr);
    auto* address = Find<QLineEdit>(basic, CTabBasicSettings::IDC_BT_ADDRESS);
    ASSERT_FALSE(address->isEnabled());
    const struct {
        QWidget* widget;
        QPoint at;
    } clicks[] = {
        {&basic, background},
        {label, label->rect().center()},
        {address, address->rect().center()},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        module->traffic().clear();
        QTest::mouseClick(c.widget, Qt::LeftButton, {}, c.at);
        QCoreApplication::processEvents();
        EXPECT_EQ(module->traffic().written(), "");
    }
}

// Started with ORYX_TRACE, the program traces the library's port as well as its own.
TEST_F(ModuleDialogTest, WithOryxTraceTheProgramTracesTheModulesPort) {
    StartModule();
    const std::string file = settings.dir().file("trace.txt");
    ::setenv(ProgramTraceC::kVariable, file.c_str(), 1);
    {
        const ProgramTraceC trace;
        ::unsetenv(ProgramTraceC::kVariable);
        Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
        dialog.show();
        Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->click();
        EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(),
                  "Read and write module configuration");
    }
    const std::string text = ScratchDirC::ReadFile(file);
    for (const char* record : {"OPEN  ", "SET   57600 8N1", "|AT*AGLN?.|", "CLOSE"}) {
        EXPECT_NE(text.find(record), std::string::npos) << record << " in\n" << text;
    }
}

TEST_F(ModuleDialogTest, AUserConfiguresAModuleFromStartToEnd) {
    StartModule();
    ConfigDialogFactoryC factory;
    ProgramDialogsC::RegisterAll(factory);
    factory.Register(ConfigDialogFactoryC::MODULE_FAMILY, [this](bool) {
        return std::unique_ptr<QDialog>(std::make_unique<Dlg>(
            Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>()));
    });

    driver.then([](QWidget* modal) {
        Find<QRadioButton>(*modal, RadioSelectionDlgC::IDC_ORYX_64_65)->click();
        ModalDriverC::Click(modal, "OK");
    });
    std::string afterConnect, afterWrite, afterSearch, afterPair, pagedName;
    driver.then([&](QWidget* modal) {
        QTimer::singleShot(0, modal, [&, modal] {
            auto* dialog = static_cast<Dlg*>(modal);
            auto status = [dialog] {
                return Find<QLabel>(*dialog, Dlg::IDC_STATUS)->text().toStdString();
            };
            ModalDriverC::Click(modal, Id(Dlg::IDC_CONNECT));
            afterConnect = status();
            QWidget& basic = dialog->settingsPage();
            pagedName =
                Find<QLineEdit>(basic, CTabBasicSettings::IDC_LOCAL_NAME)->text().toStdString();
            Find<QLineEdit>(basic, CTabBasicSettings::IDC_LOCAL_NAME)->setText("Pump 3");
            Find<QRadioButton>(basic, CTabBasicSettings::IDC_CLIENT_ROLE)->click();
            PressButton(*dialog, basic, ORYX_64_65_ConfigTabC::IDC_WRITE, Qt::Key_Space);
            afterWrite = status();

            dialog->tabs().tabBar()->setCurrentIndex(1);
            QWidget& search = dialog->searchPage();
            PressButton(*dialog, search, CTabSearchPairSettings::IDC_SEARCH, Qt::Key_Return);
            afterSearch = status();
            Find<QListWidget>(search, CTabSearchPairSettings::IDC_FOUND_DEVICES)->setCurrentRow(1);
            PressButton(*dialog, search, CTabSearchPairSettings::IDC_PAIR, Qt::Key_Space);
            afterPair = status();
            ModalDriverC::PressKey(&search, Qt::Key_Escape);
        });
    });
    ORYX_CfgAppC(factory, "").InitInstance();

    EXPECT_EQ(pagedName, "ORYX-64");
    EXPECT_EQ(afterConnect, "Read and write module configuration");
    EXPECT_EQ(afterWrite, "Settings written");
    EXPECT_EQ(afterSearch, "Search finished, 3 devices found");
    EXPECT_EQ(afterPair, "Paired with Tank 2 (00803712AB02)");
    EXPECT_TRUE(module->traffic().waitForWritten("AT*AMWS=0,0,0,0,1,0\r", 5s));
    EXPECT_EQ(module->storedSettings().name, "Pump 3");
    // The settings page reads once, when Connect gives it the focus.
    const std::string written = module->traffic().written();
    size_t reads = 0;
    for (size_t at = written.find("AT*AGLN?\r"); at != std::string::npos;
         at = written.find("AT*AGLN?\r", at + 1)) {
        ++reads;
    }
    EXPECT_EQ(reads, 1u);
    EXPECT_EQ(settings.raw("Port").toString().toStdString(), module->portText());
    EXPECT_EQ(settings.raw("Baudrate").toString(), "57600");
    EXPECT_EQ(settings.raw("FlowCtrl").toString(), "None");

    auto texts = settings.eventLogTexts();
    auto at = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) - texts.begin();
    };
    const Lines inOrder = {"RadioSelectionDlgC::OnBtnOk", "ORYX_64_CfgDlgC::OnConnect",
                           "ORYX_64_CfgDlgC::OpenPort",   "Title bar button 'X' pressed.",
                           "ORYX_64_CfgDlgC::ClosePort",  "Application closed"};
    for (size_t i = 1; i < inOrder.size(); ++i) {
        EXPECT_LT(at(inOrder[i - 1]), at(inOrder[i])) << inOrder[i];
    }
    EXPECT_LT(at("Application closed"), static_cast<long>(texts.size()));
}

// The family's own discovery over a simulated module and a port that is not there: the
// module's port and rate are chosen, the module is left in data mode, and Connect reaches it
// at the rate found.
TEST_F(ModuleDialogTest, FindWithTheFamilysDiscoveryChoosesTheSimulatedModule) {
    StartModule(5); // 9600
    settings.setRaw("Baudrate", "4800");
    Dlg dialog({settings.dir().file("no-such-port"), module->portText()},
               std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    driver.then([](QWidget*) {});
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_FIND), Qt::LeftButton);
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_PORT)->currentText().toStdString(),
              module->portText());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_BAUD)->currentText(), "9600");
    EXPECT_FALSE(module->inCommandMode());

    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CONNECT), Qt::LeftButton);
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_FALSE(Find<QWidget>(dialog, Dlg::IDC_FIND)->isEnabled());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_BAUD)->currentText(), "9600");
    QTest::keyClick(&dialog, Qt::Key_Escape);
}

// Cancel while the family's discovery probes (the module answers only at the last rate the
// search comes to): the search ends, the module stays in data mode and its port is free.
TEST_F(ModuleDialogTest, CancelDuringTheFamilysDiscoveryLeavesThePortFree) {
    StartModule(8); // 57600
    settings.setRaw("Baudrate", "4800");
    Dlg dialog({module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    driver.then([](QWidget* modal) {
        QTimer::singleShot(300, modal, [modal] { ModalDriverC::Click(modal, "Cancel"); });
    });
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_FIND), Qt::LeftButton);
    EXPECT_TRUE(driver.finished());
    EXPECT_EQ(Find<QComboBox>(dialog, Dlg::IDC_BAUD)->currentText(), "4800");
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Co&nnect");
    EXPECT_FALSE(module->inCommandMode());
    const auto texts = settings.eventLogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Find cancelled."), texts.end());

    auto* baud = Find<QComboBox>(dialog, Dlg::IDC_BAUD);
    baud->setCurrentIndex(baud->findText("57600"));
    emit baud->activated(baud->currentIndex());
    QTest::mouseClick(Find<QPushButton>(dialog, Dlg::IDC_CONNECT), Qt::LeftButton);
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    QTest::keyClick(&dialog, Qt::Key_Escape);
}

// Find... with a stand-in for the module family's discovery.
DiscoveredPortS Answered(const std::string& port, const std::string& baud) {
    return {port, "module", true, "ORYX-64", "0080371234AB", baud, ""};
}
DiscoveredPortS Unanswered(const std::string& port, const std::string& reason) {
    return {port, "module", false, "", "", "", reason};
}

class ModuleFindTest : public ModuleDialogTest {
protected:
    const Lines ports{"ttyS0", "ttyS1", "ttyUSB0"};
    std::unique_ptr<Dlg> opened;
    Lines searched;

    ModuleFindTest() {
        settings.setRaw("Port", "ttyS1");
        settings.setRaw("Baudrate", "4800");
        opened = std::make_unique<Dlg>(ports, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
        opened->show();
    }
    Dlg& dialog() { return *opened; }

    // The discovery gives results at once, or holds until the user cancels.
    void Discovers(std::vector<DiscoveredPortS> results, bool hold = false) {
        dialog().SetDiscovery(
            [this, results, hold](const Lines& given, const auto& cancelled, const auto& portDone) {
                searched = given;
                for (auto until = std::chrono::steady_clock::now() + 10s;
                     hold && !cancelled() && std::chrono::steady_clock::now() < until;) {
                    std::this_thread::sleep_for(5ms);
                }
                for (size_t i = 0; i < given.size(); ++i) {
                    portDone();
                }
                return hold && cancelled() ? std::vector<DiscoveredPortS>{} : results;
            });
    }

    void ClickFind() {
        QTest::mouseClick(Find<QPushButton>(dialog(), Dlg::IDC_FIND), Qt::LeftButton);
    }

    void ExpectDisconnectedWith(const std::string& port, const std::string& baud) {
        EXPECT_EQ(Find<QComboBox>(dialog(), Dlg::IDC_PORT)->currentText().toStdString(), port);
        EXPECT_EQ(Find<QComboBox>(dialog(), Dlg::IDC_BAUD)->currentText().toStdString(), baud);
        EXPECT_EQ(Find<QPushButton>(dialog(), Dlg::IDC_CONNECT)->text(), "Co&nnect");
        EXPECT_TRUE(Find<QWidget>(dialog(), Dlg::IDC_FIND)->isEnabled());
        EXPECT_FALSE(Find<QWidget>(dialog(), Dlg::IDC_TABS)->isEnabled());
        EXPECT_FALSE(dialog().core().portOpen);
        EXPECT_TRUE(driver.finished());
    }
};

// What was found is selected, the one of several the user picks, and Connect is left to the
// user; closing stores it.
TEST_F(ModuleFindTest, SelectsThePortAndRateFound) {
    const struct {
        std::vector<DiscoveredPortS> results;
        int pick; // the row chosen in the list of several; -1: no list
        std::string port;
        std::string baud;
    } cases[] = {
        {{Unanswered("ttyS0", "no answer"), Answered("ttyUSB0", "9600"),
          Unanswered("ttyS1", "busy")},
         -1,
         "ttyUSB0",
         "9600"},
        {{Answered("ttyS0", "115200"), Unanswered("ttyS1", "no answer"),
          Answered("ttyUSB0", "57600")},
         1,
         "ttyUSB0",
         "57600"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pick);
        Discovers(c.results);
        driver.then(
            [](QWidget* modal) { EXPECT_EQ(modal->windowTitle(), "Finding the module..."); });
        if (c.pick >= 0) {
            driver.then([&c](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>(Id(PickRadioDlgC::IDC_LIST));
                ASSERT_NE(list, nullptr);
                EXPECT_EQ(list->count(), 2);
                EXPECT_EQ(list->item(c.pick)->text().toStdString(),
                          c.port + ": ORYX-64 (0080371234AB) at " + c.baud + " baud");
                list->setCurrentRow(c.pick);
                ModalDriverC::Click(modal, "OK");
            });
        }
        ClickFind();
        EXPECT_EQ(searched, ports);
        ExpectDisconnectedWith(c.port, c.baud);
        EXPECT_EQ(Find<QLabel>(dialog(), Dlg::IDC_STATUS)->text().toStdString(),
                  "Found a module on " + c.port + " at " + c.baud + " baud; press Connect");
    }
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    EXPECT_EQ(settings.raw("Port").toString(), "ttyUSB0");
    EXPECT_EQ(settings.raw("Baudrate").toString(), "57600");
}

TEST_F(ModuleFindTest, NoneFoundSaysWhyForEachPortAndChangesNothing) {
    Discovers({Unanswered("ttyS0", "no answer"), Unanswered("ttyS1", "busy"),
               Unanswered("ttyUSB0", "no answer")});
    QString told;
    driver.then([](QWidget*) {});
    driver.then([&told](QWidget* modal) {
        told = static_cast<QMessageBox*>(modal)->text();
        ModalDriverC::Click(modal, "OK");
    });
    ClickFind();
    EXPECT_EQ(told, "No module found.\n\nno answer: ttyS0, ttyUSB0\nbusy: ttyS1");
    ExpectDisconnectedWith("ttyS1", "4800");
    EXPECT_EQ(Find<QLabel>(dialog(), Dlg::IDC_STATUS)->text(),
              "Select port settings, then press Connect");
}

// Cancel ends the search while it runs, and nothing is told or changed.
TEST_F(ModuleFindTest, CancelEndsTheSearchAndChangesNothing) {
    Discovers({Answered("ttyUSB0", "9600")}, true);
    driver.then([](QWidget* modal) {
        QTimer::singleShot(300, modal, [modal] { ModalDriverC::Click(modal, "Cancel"); });
    });
    ClickFind();
    ExpectDisconnectedWith("ttyS1", "4800");
    const auto texts = settings.eventLogTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Find cancelled."), texts.end());
}

// The fallback over the rates takes seconds: the window shows each failed rate as it fails,
// Connect disabled and the wait cursor; a second press of Connect meanwhile (nothing seemed
// to happen) is dropped instead of disconnecting once the connect has succeeded.
TEST_F(ModuleDialogTest, TheFallbackShowsEachRateAndDropsASecondConnect) {
    StartModule(5); // 9600; the stored rate is 57600, then 4800 fails first
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    WhileBusyC seen(dialog);
    seen.When("Connect with 57600 baud failed",
              [&] { ClickAt(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)); });
    EXPECT_TRUE(Connect(dialog));
    QCoreApplication::processEvents();
    EXPECT_EQ(Find<QPushButton>(dialog, Dlg::IDC_CONNECT)->text(), "Disco&nnect");
    EXPECT_TRUE(Seen(seen.statuses, "Connect with 57600 baud failed"));
    EXPECT_TRUE(Seen(seen.statuses, "Connect with 4800 baud failed"));
    EXPECT_EQ(seen.statuses.back(), "Read and write module configuration");
    EXPECT_TRUE(seen.connectDisabled);
    EXPECT_TRUE(seen.waitCursor);
    EXPECT_TRUE(module->inCommandMode());
}

// Closing the window during the fallback closes it once the connect is over, as after any
// connect: the found rate stored, the module back in data mode, the port closed.
TEST_F(ModuleDialogTest, ClosingDuringTheFallbackClosesAsAfterTheConnect) {
    StartModule(5);
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    WhileBusyC seen(dialog);
    // As the window manager's close button does.
    seen.When("Connect with 57600 baud failed", [&] { dialog.windowHandle()->close(); });
    Connect(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.raw("Baudrate").toString(), "9600");
    EXPECT_FALSE(module->inCommandMode());
    oryx::platform::SerialDevice again;
    EXPECT_TRUE(again.open(module->portText()).ok()) << "the dialog still holds the port";
}

// A search shows that it searches while it runs, and its results when it is over. Tabbing
// into the found devices then chooses none: Pair pairs only with a device the user selected.
TEST_F(ModuleDialogTest, ASearchShowsThatItSearchesAndTabbingInChoosesNoDevice) {
    StartModule();
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_TRUE(Connect(dialog));
    WriteClientRole(dialog);
    ClickTab(dialog.tabs(), 1);
    QWidget& page = dialog.searchPage();
    WhileBusyC seen(dialog);
    ClickAt(Find<QPushButton>(page, CTabSearchPairSettings::IDC_SEARCH));
    EXPECT_TRUE(Seen(seen.statuses, "Searching for devices ...")) << seen.statuses.size();
    EXPECT_TRUE(seen.waitCursor);
    EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(), "Search finished, 3 devices found");

    auto* found = Find<QListWidget>(page, CTabSearchPairSettings::IDC_FOUND_DEVICES);
    Find<QLineEdit>(page, CTabSearchPairSettings::IDC_PAIRED_DEVICE)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), found);
    EXPECT_TRUE(found->selectedItems().isEmpty());
    EXPECT_EQ(dialog.searchPage().core().selectedLine, -1);
    QTest::keyClick(found, Qt::Key_Space);
    EXPECT_EQ(found->selectedItems().size(), 1);
    EXPECT_TRUE(Find<QPushButton>(page, CTabSearchPairSettings::IDC_PAIR)->isEnabled());
}

// In the server role the search page is shown switched off: choosing its tab neither asks
// the module for its pairing nor tells the user to press Search. Minimising and restoring is
// not showing the dialog anew: the chosen tab stays.
TEST_F(ModuleDialogTest, TheServerRoleSearchTabReadsNothingAndOutlivesMinimising) {
    StartModule(); // in the server role
    Dlg dialog(Lines{module->portText()}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
    dialog.show();
    ASSERT_TRUE(Connect(dialog));
    module->traffic().clear();
    ClickTab(dialog.tabs(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.tabs().currentTab(), 1);
    EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text(), "Read and write module configuration");
    EXPECT_EQ(module->traffic().written(), "");

    dialog.showMinimized();
    QCoreApplication::processEvents();
    dialog.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.tabs().currentTab(), 1);
    EXPECT_TRUE(dialog.searchPage().isVisible());
}

// A port that does not open says why: none chosen, or held by another program.
TEST_F(ModuleDialogTest, APortThatDoesNotOpenGivesTheReason) {
    StartModule();
    oryx::platform::SerialDevice otherProgram;
    ASSERT_TRUE(otherProgram.open(module->portText()).ok());
    const struct {
        std::string port;
        std::string status;
        std::string reason;
    } cases[] = {
        {"", "No port chosen!", oryx::platform::SerialError::kNoPortChosenText},
        {module->portText(), "Cannot open port " + module->portText() + "!",
         "in use by another program"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        Dlg dialog(Lines{"ttyS0"}, std::make_unique<ORC::CFG::OpalDeviceControllerC>());
        dialog.show();
        PortBoxUserC::Type(*Find<QComboBox>(dialog, Dlg::IDC_PORT), QString::fromStdString(c.port));
        QString shown;
        driver.thenOk(shown);
        Connect(dialog);
        EXPECT_EQ(Find<QLabel>(dialog, Dlg::IDC_STATUS)->text().toStdString(), c.status);
        EXPECT_TRUE(shown.contains(QString::fromStdString(c.reason))) << shown.toStdString();
    }
}

} // namespace
