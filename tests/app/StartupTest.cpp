#include "IsolatedSettingsC.h"
#include "ModalDriverC.h"
#include "app/ORYX_CfgAppC.h"
#include "app/RadioSelectionDlgC.h"
#include "common/EventLogFileC.h"

#include <QDialog>
#include <gtest/gtest.h>

namespace {

// Stands in for a configuration dialog: logs like one and records how it was created.
class FakeConfigDlg : public QDialog {
public:
    FakeConfigDlg() : eventLog_("ORYX_Log.txt", 500) { eventLog_.Log("FakeConfigDlg shown"); }

private:
    EventLogFileC eventLog_;
};

class StartupTest : public ::testing::Test {
protected:
    IsolatedSettingsC settings;
    ConfigDialogFactoryC factory;
    std::vector<std::pair<int, bool>> created;
    ModalDriverC driver;

    void SetUp() override {
        for (int type : {0, 1}) {
            factory.Register(type, [this, type](bool serviceMode) {
                created.emplace_back(type, serviceMode);
                return std::make_unique<FakeConfigDlg>();
            });
        }
    }

    void ChooseAndConfirm(int buttonId) {
        driver.then([buttonId](QWidget* modal) {
            ModalDriverC::Click(modal, QString::number(buttonId));
            ModalDriverC::Click(modal, "OK");
        });
        driver.then([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    }
};

const std::string kSeparator(61, '-');

TEST_F(StartupTest, NormalRunLogsBothDialogsInNestedOrder) {
    ChooseAndConfirm(RadioSelectionDlgC::IDC_ORYX_62_63);
    EXPECT_FALSE(ORYX_CfgAppC(factory, "/Service").InitInstance());

    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0], std::make_pair(0, true));
    std::vector<std::string> expected = {"",
                                         kSeparator,
                                         "Application started",
                                         "RadioSelectionDlgC::OnBtnOk",
                                         "",
                                         kSeparator,
                                         "Application started",
                                         "FakeConfigDlg shown",
                                         "Application closed",
                                         "Application closed"};
    EXPECT_EQ(settings.eventLogTexts(), expected);
}

TEST_F(StartupTest, CancelledRunOpensNothingAndStoresNothing) {
    driver.then([](QWidget* modal) { ModalDriverC::Click(modal, "Cancel"); });
    EXPECT_FALSE(ORYX_CfgAppC(factory, "").InitInstance());
    EXPECT_TRUE(created.empty());
    EXPECT_FALSE(settings.contains("RadioSelection"));
    std::vector<std::string> expected = {"", kSeparator, "Application started",
                                         "RadioSelectionDlgC::OnBtnCancel", "Application closed"};
    EXPECT_EQ(settings.eventLogTexts(), expected);
}

TEST_F(StartupTest, ServiceSwitchReachesOnlyTheModemDialog) {
    ChooseAndConfirm(RadioSelectionDlgC::IDC_ORYX_64_65);
    ORYX_CfgAppC(factory, "/SERVICE").InitInstance();
    ChooseAndConfirm(RadioSelectionDlgC::IDC_ORYX_62_63);
    ORYX_CfgAppC(factory, "/Service x").InitInstance();
    std::vector<std::pair<int, bool>> expected = {{1, false}, {0, false}};
    EXPECT_EQ(created, expected);
}

TEST_F(StartupTest, SelectionWithoutDialogOpensNothing) {
    settings.setRaw("RadioSelection", 7);
    driver.then([](QWidget* modal) { ModalDriverC::Click(modal, "OK"); });
    ORYX_CfgAppC(factory, "").InitInstance();
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(settings.raw("RadioSelection").toLongLong(), -1);

    ConfigDialogFactoryC empty;
    driver.then([](QWidget* modal) {
        ModalDriverC::Click(modal, QString::number(RadioSelectionDlgC::IDC_ORYX_62_63));
        ModalDriverC::Click(modal, "OK");
    });
    ORYX_CfgAppC(empty, "").InitInstance();
    EXPECT_TRUE(driver.finished());
}

TEST(ServiceSwitch, WholeCommandLineComparedIgnoringCase) {
    for (const char* on : {"/Service", "/service", "/SERVICE", "/sErViCe"}) {
        EXPECT_TRUE(ORYX_CfgAppC::IsServiceSwitch(on)) << on;
    }
    for (const char* off :
         {"", "/Service ", " /Service", "-Service", "/Service x", "Service", "/Serv"}) {
        EXPECT_FALSE(ORYX_CfgAppC::IsServiceSwitch(off)) << off;
    }
    char prog[] = "ORYX_Config", a[] = "/Service", b[] = "x";
    char* argv[] = {prog, a, b};
    EXPECT_EQ(ORYX_CfgAppC::CommandLineText(3, argv), "/Service x");
    EXPECT_EQ(ORYX_CfgAppC::CommandLineText(1, argv), "");
}

} // namespace
