#include "EventLogReaderC.h"
#include "ModuleCoreFixture.h"

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

class ModuleConnectTest : public ModuleCoreFixture {};

TEST_F(ModuleConnectTest, FallsBackToTheRateThatAnswersAndStoresIt) {
    oryx::sim::ModuleRadioOptions options = FastModule();
    options.commandMode = false;
    options.settings.baudCode = 5;
    StartModule(options);
    OpenDialog("115200");
    dialog->OnConnect();

    EXPECT_THAT(view.statuses,
                ElementsAre("Select port settings, then press Connect",
                            "Connect with 115200 baud failed", "Connect with 4800 baud failed",
                            "Settings read", "Read and write module configuration"));
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(dialog->baudBox.SelectedText(), "9600");
    EXPECT_TRUE(dialog->tabsEnabled);
    EXPECT_TRUE(settings->enabled() && search->enabled());
    EXPECT_EQ(dialog->connectLabel, "Disconnect");
    EXPECT_FALSE(dialog->portBox.Enabled() || dialog->baudBox.Enabled());
    EXPECT_EQ(settings->localName, "ORYX-64");
    EXPECT_EQ(settings->btAddress, "0080370A1B2C");
    EXPECT_EQ(settings->moduleBaudText, "9600");
    EXPECT_EQ(settings->deviceRole, BasicSettingsCoreC::kServerRole);

    dialog->StorePortSettings(ModuleDialogCoreC::kCloseLine);
    EXPECT_THAT(view.stored, ElementsAre(Lines{module->portText(), "9600", "None"}));
    EXPECT_FALSE(dialog->portOpen || dialog->commandMode);
    EXPECT_FALSE(module->inCommandMode());
}

TEST_F(ModuleConnectTest, APortThatDoesNotOpenIsReportedWithoutCallingTheLibrary) {
    OpenDialog("115200");
    dialog->OnConnect();
    EXPECT_EQ(dialog->status, "Cannot open port COM7!");
    EXPECT_THAT(view.boxes, ElementsAre(::testing::StartsWith(
                                "ORYX Config: Cannot open port COM7!\nPort COM7 does not exist")));
    EXPECT_EQ(controller.createdPorts, 0);
    EXPECT_TRUE(dialog->connectEnabled);
    EXPECT_EQ(dialog->connectLabel, "Connect");
}

TEST_F(ModuleConnectTest, AModuleReachedAtNoRateFailsAndKeepsTheFirstRate) {
    oryx::sim::ModuleRadioOptions options = FastModule();
    options.settings.baudCode = 12;
    StartModule(options);
    OpenDialog("19200");
    dialog->OnConnect();

    Lines expected{"Select port settings, then press Connect"};
    for (const char* rate : {"19200", "4800", "9600", "57600", "115200"}) {
        expected.push_back(std::string("Connect with ") + rate + " baud failed");
    }
    expected.push_back("Connect failed!");
    EXPECT_THAT(view.statuses, ElementsAreArray(expected));
    EXPECT_THAT(view.boxes, ElementsAre("ORYX Config: Connect failed!"));
    EXPECT_EQ(dialog->baudText, "19200");
    EXPECT_EQ(dialog->baudBox.SelectedText(), "19200");
    EXPECT_FALSE(dialog->portOpen || dialog->tabsEnabled);
    EXPECT_EQ(controller.createdPorts, 5);
}

} // namespace

namespace {

// Connected to a module in command mode at 57600, the settings page read.
class ModuleSettingsTest : public ModuleCoreFixture {
protected:
    void SetUp() override {
        oryx::sim::ModuleRadioOptions options = FastModule();
        options.settings.baudCode = 8;
        StartModule(options);
        OpenDialog("57600");
        dialog->OnConnect();
        ASSERT_TRUE(dialog->commandMode);
        Commands();
        view.statuses.clear();
    }
};

struct RoleCase {
    int role;
    Lines commands;
};

TEST_F(ModuleSettingsTest, WriteSendsTheRoleThenTheNameThenTheRate) {
    const RoleCase cases[] = {
        {BasicSettingsCoreC::kClientRole,
         {"AT*AGCM=1,1", "AT*AGDM=1,1", "AT*ADDCP=0,1", "AT*ADNRP=1,1", "AT*ADDSP=255,1"}},
        {BasicSettingsCoreC::kServerRole,
         {"AT*AGCM=2,1", "AT*AGDM=3,1", "AT*ADNRP=0,1", "AT*ADDCP=255,1", "AT*ADDSP=0,1"}},
    };
    for (const RoleCase& c : cases) {
        settings->localName = "Pump 3";
        settings->deviceRole = c.role;
        settings->Write();
        Lines expected = c.commands;
        expected.insert(expected.end(), {"AT*AGLN=\"Pump 3\",1", "AT*ADWSN=0,\"Pump 3\",1",
                                         "AT*AMRS=8,1,1,1,2,1,1"});
        EXPECT_THAT(Commands(), ElementsAreArray(expected)) << c.role;
        EXPECT_EQ(dialog->status, "Settings written");
        EXPECT_TRUE(dialog->resetOnLeave);
        EXPECT_EQ(search->clientRole, c.role == BasicSettingsCoreC::kClientRole);
    }
    EXPECT_EQ(module->storedSettings().name, "Pump 3");
}

TEST_F(ModuleSettingsTest, ChecksStopAWriteBeforeAnythingIsSent) {
    struct CheckCase {
        std::string name;
        int role;
        std::string status;
        Lines boxes;
    };
    const CheckCase cases[] = {
        {"", BasicSettingsCoreC::kClientRole, "Settings not written: Local Name is empty", {}},
        {"Pump 3",
         BasicSettingsCoreC::kNoRole,
         "Settings not written: Device Role not specified",
         {}},
        {"Sixteen chars!!!",
         BasicSettingsCoreC::kClientRole,
         "unchanged",
         {"ORYX Config: Local Name is too long (max 15 chars)!"}},
    };
    for (const CheckCase& c : cases) {
        dialog->SetStatus("unchanged");
        settingsView.boxes.clear();
        settings->localName = c.name;
        settings->deviceRole = c.role;
        settings->Write();
        EXPECT_EQ(dialog->status, c.status) << c.name;
        EXPECT_EQ(settingsView.boxes, c.boxes) << c.name;
        EXPECT_TRUE(Commands().empty()) << c.name;
        EXPECT_FALSE(dialog->resetOnLeave);
    }
    settings->localName = "Fifteen chars!!";
    settings->Write();
    EXPECT_EQ(dialog->status, "Settings written");
}

// A rate without a module code must not leave the module with a new role and name only.
TEST_F(ModuleSettingsTest, ARateWithoutACodeFailsTheWriteBeforeAnythingIsSent) {
    settings->baudBox.SetEntries({"14400"});
    settings->baudBox.Select(0);
    settings->localName = "Pump 3";
    settings->deviceRole = BasicSettingsCoreC::kClientRole;
    settings->Write();
    EXPECT_TRUE(Commands().empty());
    EXPECT_THAT(settingsView.boxes, ElementsAre("ORYX Config: Failed to write settings"));
    EXPECT_EQ(dialog->status, "Failed to write settings");
    EXPECT_FALSE(dialog->resetOnLeave);
    EXPECT_TRUE(dialog->commandMode);
}

TEST_F(ModuleSettingsTest, ARateChangeMovesThePcAlongAndIsStored) {
    settings->baudBox.Select(2);
    settings->localName = "Pump 3";
    settings->deviceRole = BasicSettingsCoreC::kServerRole;
    settings->Write();
    EXPECT_EQ(dialog->status, "Settings written");
    EXPECT_EQ(module->baud(), 19200u);
    EXPECT_EQ(dialog->baudText, "19200");
    EXPECT_EQ(dialog->baudBox.SelectedText(), "19200");
    settings->Read();
    EXPECT_EQ(dialog->status, "Settings read");
    dialog->StorePortSettings(ModuleDialogCoreC::kOkLine);
    EXPECT_EQ(view.stored.back()[1], "19200");
}

TEST_F(ModuleSettingsTest, LeavingAfterAWriteResetsAndOtherwiseReturnsToDataMode) {
    settings->localName = "Pump 3";
    settings->deviceRole = BasicSettingsCoreC::kClientRole;
    settings->Write();
    Commands();
    dialog->OnConnect();
    EXPECT_THAT(Commands(), ElementsAre("AT*AMWS=0,0,0,0,1,0"));
    EXPECT_EQ(dialog->status, "Select port settings, then press Connect");
    EXPECT_FALSE(dialog->resetOnLeave);

    dialog->OnConnect();
    ASSERT_TRUE(dialog->commandMode);
    Commands();
    dialog->OnConnect();
    EXPECT_THAT(Commands(), ElementsAre("AT*ADDM"));
    EXPECT_FALSE(settings->enabled() || dialog->tabsEnabled);
}

// The module dropped out of command mode (a power cycle, say): the pages go off, the port
// stays open and Disconnect still closes it.
TEST_F(ModuleSettingsTest, AFailedReadOutOfCommandModeDisablesThePages) {
    module->setCommandMode(false);
    settings->Read();
    EXPECT_THAT(settingsView.boxes, ElementsAre("ORYX Config: Failed to read settings"));
    EXPECT_EQ(dialog->status, "Failed to read settings");
    EXPECT_FALSE(dialog->commandMode || dialog->tabsEnabled || settings->enabled() ||
                 search->enabled());
    EXPECT_TRUE(dialog->portOpen);
    EXPECT_EQ(dialog->connectLabel, "Disconnect");
    EXPECT_EQ(view.waitCursorDepth, 0);
    dialog->OnConnect();
    EXPECT_FALSE(dialog->portOpen);
}

TEST_F(ModuleSettingsTest, ReadTakesTheRoleFromTheProfiles) {
    struct ProfileCase {
        long client;
        long server;
        int role;
    };
    const ProfileCase cases[] = {{255, 255, BasicSettingsCoreC::kNoRole},
                                 {0, 0, BasicSettingsCoreC::kClientRole},
                                 {255, 0, BasicSettingsCoreC::kServerRole}};
    for (const ProfileCase& c : cases) {
        // Set through the module's own commands, not kept in its permanent memory.
        controller.configureDefaultClientProfile(ORC::CFG::ConnectionProfileT(c.client), false);
        controller.configureDefaultServerProfile(ORC::CFG::ConnectionProfileT(c.server), false);
        settings->Read();
        EXPECT_EQ(settings->deviceRole, c.role) << c.client << "/" << c.server;
        EXPECT_EQ(search->clientRole, c.role == BasicSettingsCoreC::kClientRole);
    }
}

} // namespace

namespace {

// Connected to a module in command mode with three devices in range.
class ModuleSearchTest : public ModuleCoreFixture {
protected:
    void Connect(long clientProfile, std::vector<oryx::sim::DeviceInRange> devices) {
        oryx::sim::ModuleRadioOptions options = FastModule();
        options.settings.clientProfile = clientProfile;
        options.devices = std::move(devices);
        StartModule(options);
        OpenDialog("115200");
        dialog->OnConnect();
        ASSERT_TRUE(dialog->commandMode);
    }
    static std::vector<oryx::sim::DeviceInRange> ThreeDevices() {
        return {{"00803712AB01", 7978, "Tank 1"},
                {"00803712AB02", 7978, "Tank 2"},
                {"00803712AB03", 7978, "Tank 3"}};
    }
};

TEST_F(ModuleSearchTest, TheServerRoleOffersOnlyItsExplanation) {
    Connect(255, ThreeDevices());
    EXPECT_FALSE(search->clientRole);
    EXPECT_THAT(search->listLines, ElementsAre("Search and Pairing only in Client mode!"));
    EXPECT_EQ(search->listText, "Search and Pairing only in Client mode!");
    EXPECT_FALSE(search->pageEnabled || search->searchEnabled || search->listEnabled ||
                 search->pairEnabled);
}

TEST_F(ModuleSearchTest, SearchListsTheDevicesInOrderAndPairsTheChosenOne) {
    Connect(0, ThreeDevices());
    ASSERT_TRUE(search->searchEnabled);
    search->Search();
    EXPECT_EQ(dialog->status, "Search finished, 3 devices found");
    EXPECT_THAT(search->listLines, ElementsAre("Tank 1 (00803712AB01)", "Tank 2 (00803712AB02)",
                                               "Tank 3 (00803712AB03)"));
    EXPECT_EQ(searchView.waitCursorDepth, 0);

    // Pair is on before a line is chosen, and then fails.
    EXPECT_TRUE(search->pairEnabled);
    search->pairedDevice = "old";
    search->Pair();
    EXPECT_EQ(search->pairedDevice, "");
    EXPECT_EQ(dialog->status, "Pairing failed with current selection");
    EXPECT_THAT(searchView.boxes,
                ElementsAre("ORYX Config: Pairing failed with current selection"));

    search->OnLineSelected(1);
    search->Pair();
    EXPECT_EQ(dialog->status, "Paired with Tank 2 (00803712AB02)");
    EXPECT_EQ(module->settings().peers.at(0).address, "00803712AB02");
    search->Read();
    EXPECT_EQ(search->pairedDevice, "Tank 2 (00803712AB02)");
}

// A name heard over the air that would end the pairing command's quote is never sent cut.
TEST_F(ModuleSearchTest, ADeviceWhoseNameCannotTravelQuotedIsNotPaired) {
    Connect(0, {{"00803712AB09", 7978, "Tank\x1b[2J"}});
    search->Search();
    ASSERT_EQ(search->foundDevices.size(), 1u);
    Commands();
    search->OnLineSelected(0);
    search->Pair();
    const std::string refusal =
        "Cannot pair with 00803712AB09: its name contains the character \\x1b";
    EXPECT_EQ(dialog->status, refusal);
    EXPECT_THAT(searchView.boxes, ElementsAre("ORYX Config: " + refusal));
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(search->pairedDevice.empty());
}

TEST_F(ModuleSearchTest, NoDevicesInRangeIsAFinishedSearch) {
    Connect(0, {});
    search->Search();
    EXPECT_EQ(dialog->status, "Search finished, no devices found");
    EXPECT_TRUE(search->listLines.empty());
    EXPECT_FALSE(search->pairEnabled);
    EXPECT_TRUE(searchView.boxes.empty());
}

} // namespace
