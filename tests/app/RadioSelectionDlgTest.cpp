#include "IsolatedSettingsC.h"
#include "ModalDriverC.h"
#include "app/RadioSelectionDlgC.h"
#include "app/SettingsStoreC.h"

#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class RadioSelectionTest : public ::testing::Test {
protected:
    IsolatedSettingsC settings;

    static QRadioButton* Button(QWidget& dialog, int id) {
        return dialog.findChild<QRadioButton*>(QString::number(id));
    }
    static bool Checked(QWidget& dialog, int id) { return Button(dialog, id)->isChecked(); }
};

TEST_F(RadioSelectionTest, FirstRunUsesDefaultsAndPreselectsTheModemFamily) {
    SettingsStoreC store;
    EXPECT_FALSE(store.radioSelection().has_value());
    EXPECT_EQ(store.port(), "1");
    EXPECT_EQ(store.baudrate(), "115200");

    RadioSelectionDlgC dialog;
    EXPECT_TRUE(Checked(dialog, RadioSelectionDlgC::IDC_ORYX_62_63));
    EXPECT_FALSE(Checked(dialog, RadioSelectionDlgC::IDC_ORYX_64_65));
    EXPECT_EQ(dialog.windowTitle(), "Select Radio Type");
}

TEST_F(RadioSelectionTest, StoredSelectionIsPreselected) {
    settings.setRaw("RadioSelection", 1);
    RadioSelectionDlgC module;
    EXPECT_TRUE(Checked(module, RadioSelectionDlgC::IDC_ORYX_64_65));

    settings.setRaw("RadioSelection", 7);
    RadioSelectionDlgC none;
    EXPECT_FALSE(Checked(none, RadioSelectionDlgC::IDC_ORYX_62_63));
    EXPECT_FALSE(Checked(none, RadioSelectionDlgC::IDC_ORYX_64_65));

    // OK without choosing stores -1, all bits set, and reads back as -1.
    none.OnBtnOk();
    EXPECT_EQ(none.radioType(), -1);
    EXPECT_EQ(settings.raw("RadioSelection").toLongLong(), -1);
    EXPECT_EQ(SettingsStoreC().radioSelection(), -1);
}

TEST_F(RadioSelectionTest, UnreadableOrEmptyValuesFallBackToDefaults) {
    settings.setRaw("RadioSelection", "not a number");
    settings.setRaw("Port", "");
    // 255 characters and the terminating zero no longer fit the 255-byte read.
    settings.setRaw("Baudrate", QString(255, QLatin1Char('9')));
    SettingsStoreC store;
    EXPECT_FALSE(store.radioSelection().has_value());
    EXPECT_EQ(store.port(), "1");
    EXPECT_EQ(store.baudrate(), "115200");

    store.setPortSettings("ttyUSB0", QString(254, QLatin1Char('9')));
    EXPECT_EQ(store.port(), "ttyUSB0");
    EXPECT_EQ(store.baudrate(), QString(254, QLatin1Char('9')));
}

TEST_F(RadioSelectionTest, OkByMouseOrEnterStoresTheChoiceAndLogs) {
    RadioSelectionDlgC dialog;
    ModalDriverC driver;
    driver.then([](QWidget* modal) {
        ModalDriverC::Click(modal, QString::number(RadioSelectionDlgC::IDC_ORYX_64_65));
        ModalDriverC::Click(modal, "OK");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.radioType(), 1);
    EXPECT_EQ(settings.raw("RadioSelection").toInt(), 1);

    RadioSelectionDlgC again;
    EXPECT_TRUE(Checked(again, RadioSelectionDlgC::IDC_ORYX_64_65));
    driver.then([](QWidget* modal) { ModalDriverC::PressKey(modal, Qt::Key_Return); });
    EXPECT_EQ(again.exec(), QDialog::Accepted);

    auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "RadioSelectionDlgC::OnBtnOk"), 2);
}

TEST_F(RadioSelectionTest, CancelAndEscapeStoreNothing) {
    settings.setRaw("RadioSelection", 0);
    RadioSelectionDlgC dialog;
    ModalDriverC driver;
    driver.then([](QWidget* modal) {
        ModalDriverC::Click(modal, QString::number(RadioSelectionDlgC::IDC_ORYX_64_65));
        ModalDriverC::Click(modal, "Cancel");
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(settings.raw("RadioSelection").toInt(), 0);

    RadioSelectionDlgC escaped;
    driver.then([](QWidget* modal) { ModalDriverC::PressKey(modal, Qt::Key_Escape); });
    EXPECT_EQ(escaped.exec(), QDialog::Rejected);

    RadioSelectionDlgC closed;
    driver.then([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(closed.exec(), QDialog::Rejected);

    RadioSelectionDlgC enterOnCancel;
    driver.then([](QWidget* modal) {
        ModalDriverC::Click(modal, QString::number(RadioSelectionDlgC::IDC_ORYX_64_65));
        modal->findChild<QWidget*>(QString::number(RadioSelectionDlgC::IDC_CANCEL))->setFocus();
        ModalDriverC::PressKey(modal, Qt::Key_Return);
    });
    EXPECT_EQ(enterOnCancel.exec(), QDialog::Rejected);

    auto texts = settings.eventLogTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "RadioSelectionDlgC::OnBtnCancel"), 2)
        << "Escape and the title-bar close write no line";
    EXPECT_EQ(settings.raw("RadioSelection").toInt(), 0);
}

} // namespace
