#include "ControllerRig.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace controller_test {
namespace {

using namespace ORC::CFG;
using Controller = OpalDeviceControllerImplC;
using oryx::sim::ModuleFaults;

DevNameAddressPairT device(const char* pszName, const char* pszAddress) {
    DevNameAddressPairT pair;
    std::strncpy(pair.m_szName, pszName, sizeof(pair.m_szName) - 1);
    std::strncpy(pair.m_szAddress, pszAddress, sizeof(pair.m_szAddress) - 1);
    return pair;
}

struct WireCase {
    const char* pszName;
    std::function<int32_t(Controller&)> operation;
    // The command lines, each of which goes out after a ping.
    std::vector<std::string> commands;
    int32_t lResult = CFG_OK;
};

std::string pinged(const std::vector<std::string>& rCommands) {
    std::string strWire;
    for (const std::string& rCommand : rCommands) {
        strWire += "AT\r" + rCommand;
    }
    return strWire;
}

oryx::sim::ModuleRadioOptions moduleWithPeer() {
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.settings.peers[0] = {"00A0961F2A01", 130, 0, "Tracker"};
    return options;
}

TEST(ControllerOperations, SendsEachCommandLineAfterAPing) {
    char szAnswer[2000];
    const DevNameAddressPairT tracker = device("Tracker", "00A0961F2A01");
    const std::vector<WireCase> cases = {
        {"version",
         [](Controller& c) {
             VersionInformationS v;
             return c.getVersionInformation(v);
         },
         {"AT*AILVI?\r"}},
        {"name and address",
         [](Controller& c) {
             DevNameAddressPairT d;
             return c.getDeviceNameAndAddress(d);
         },
         {"AT*AGLN?\r", "AT*AILBA?\r"}},
        {"client profile",
         [](Controller& c) {
             ConnectionProfileT p;
             return c.getDefaultClientProfile(p);
         },
         {"AT*ADDCP?\r"}},
        {"server profile",
         [](Controller& c) {
             ConnectionProfileT p;
             return c.getDefaultServerProfile(p);
         },
         {"AT*ADDSP?\r"}},
        {"device name",
         [](Controller& c) {
             char n[] = "Bay 4";
             return c.setDeviceName(n, true);
         },
         {"AT*AGLN=\"Bay 4\",1\r"}},
        {"device name of 15",
         [](Controller& c) {
             char n[] = "ABCDEFGHIJKLMNO";
             return c.setDeviceName(n, false);
         },
         {"AT*AGLN=\"ABCDEFGHIJKLMNO\",0\r"}},
        {"service name",
         [](Controller& c) { return c.setServiceName(PROFILE_SERIAL_PORT, "Serial Port", false); },
         {"AT*ADWSN=0,\"Serial Port\",1\r"}},
        {"service name, then reset",
         [](Controller& c) { return c.setServiceName(PROFILE_SERIAL_PORT, "Serial", true); },
         {"AT*ADWSN=0,\"Serial\",1\r", "AT*AMWS=0,0,0,0,1,0\r"}},
        {"class of device",
         [](Controller& c) { return c.setClassOfDevice(7978, false); },
         {"AT*AGLC=7978,0\r"}},
        {"connectability",
         [](Controller& c) {
             return c.configureConnectabilityMode(CONNECTABILITY_CLIENT_ROLE, true);
         },
         {"AT*AGCM=1,1\r"}},
        {"discoverability",
         [](Controller& c) {
             return c.configureDiscoverabilityMode(DISCOVERABILITY_SERVER_ROLE, false);
         },
         {"AT*AGDM=3,0\r"}},
        {"multidrop",
         [](Controller& c) { return c.configureWirelessMultidrop(true, true); },
         {"AT*ADWM=1,0,1\r"}},
        {"client role",
         [](Controller& c) { return c.configureDefaultClientProfile(PROFILE_SERIAL_PORT, true); },
         {"AT*ADDCP=0,1\r"}},
        {"server role",
         [](Controller& c) { return c.configureDefaultServerProfile(PROFILE_NONE, false); },
         {"AT*ADDSP=255,0\r"}},
        {"remote peers",
         [](Controller& c) { return c.configureNoRemotePeers(1, true); },
         {"AT*ADNRP=1,1\r"}},
        {"feature mask",
         [](Controller& c) { return c.configureFeatureMask(5, false); },
         {"AT*AMWFM=1,5,0\r"}},
        {"remote peer",
         [&](Controller& c) { return c.configureDefaultRemotePeer(2, tracker, 130, true, true); },
         {"AT*ADWDRP=2,00A0961F2A01,130,1,\"Tracker\",1\r"}},
        {"pairing",
         [&](Controller& c) { return c.pairDevice(tracker, false); },
         {"AT*ADWDRP=0,00A0961F2A01,130,0,\"Tracker\",0\r"}},
        {"paired device",
         [](Controller& c) {
             DevNameAddressPairT d;
             return c.getPairedDevice(d);
         },
         {"AT*ADRDRP=0\r"}},
        {"dtr and dsr",
         [](Controller& c) {
             return c.configureDtrDsrSettings(DtrSettingT(2), DsrSettingT(1), true);
         },
         {"AT*AMDS=2,1,1\r"}},
        {"power save",
         [](Controller& c) { return c.configurePowerSaveMode(PowerSaveModeT(2), false); },
         {"AT*AMPM=2,0\r"}},
        {"security",
         [](Controller& c) { return c.configureSecurityMode(SecurityModeT(3), true); },
         {"AT*AGSM=3,1\r"}},
        {"pin",
         [](Controller& c) { return c.setFixedPin("1234", true); },
         {"AT*AGFP=\"1234\",1\r"}},
        {"ssid",
         [](Controller& c) { return c.configureSSID("ORYX-NET", true); },
         {"AT*AGSSID=\"ORYX-NET\",1\r"}},
        {"line settings",
         [](Controller& c) {
             RS232SettingsS s;
             return c.getRS232Settings(s);
         },
         {"AT*AMRS?\r"}},
        {"line settings written",
         [](Controller& c) { return c.setRS232Settings(RS232SettingsS(), false, true); },
         {"AT*AMRS=9,1,1,1,2,0,1\r"}},
        {"flow control",
         [](Controller& c) { return c.setFlowControl(true, false, false); },
         {"AT*AMRS?\r", "AT*AMRS=9,1,1,1,1,0,0\r"}},
        {"baud rate",
         [](Controller& c) { return c.setBaudRate(9600, false, false); },
         {"AT*AMRS?\r", "AT*AMRS=5,1,1,1,1,0,0\r"}},
        {"io pin",
         [](Controller& c) { return c.writeIoPin(IoPinT(3), PinValueT(1)); },
         {"AT*AMWIO=3,1\r"}},
        {"longest transparent command",
         [&](Controller& c) {
             return c.transparentCommand(std::string(63, 'A').c_str(), szAnswer);
         },
         {std::string(63, 'A') + "\r"}},
        {"transparent",
         [&](Controller& c) { return c.transparentCommand("AT", szAnswer); },
         {"AT\r"}},
        {"reset", [](Controller& c) { return c.resetModule(); }, {"AT*AMWS=0,0,0,0,1,0\r"}},
        {"data mode", [](Controller& c) { return c.switchToDataMode(); }, {"AT*ADDM\r"}},
        {"production mode",
         [](Controller& c) { return c.switchToProductionMode(); },
         {"", "ATP\r"}},
    };
    ControllerRig rig(moduleWithPeer());
    for (const WireCase& rCase : cases) {
        SCOPED_TRACE(rCase.pszName);
        rig.module().setCommandMode(true);
        rig.clearTraffic();
        EXPECT_EQ(rCase.operation(rig.controller()), rCase.lResult);
        EXPECT_EQ(rig.written(), pinged(rCase.commands));
    }
}

TEST(ControllerOperations, RefusedArgumentsSendNothing) {
    char szAnswer[2000];
    char szLongName[] = "ABCDEFGHIJKLMNOP";
    const std::string strLongSsid(33, 'S');
    const std::string strLongPin(60, '1');
    const std::vector<std::pair<const char*, std::function<int32_t(Controller&)>>> cases = {
        {"name of 16", [&](Controller& c) { return c.setDeviceName(szLongName, true); }},
        {"no name", [](Controller& c) { return c.setDeviceName(nullptr, true); }},
        {"service name of 16",
         [&](Controller& c) { return c.setServiceName(PROFILE_SERIAL_PORT, szLongName, false); }},
        {"connectability 0",
         [](Controller& c) { return c.configureConnectabilityMode(ConnectabilityModeT(0), true); }},
        {"discoverability 0",
         [](Controller& c) {
             return c.configureDiscoverabilityMode(DiscoverabilityModeT(0), true);
         }},
        {"ssid of 33", [&](Controller& c) { return c.configureSSID(strLongSsid.c_str(), true); }},
        {"pin beyond the command line",
         [&](Controller& c) { return c.setFixedPin(strLongPin.c_str(), true); }},
        {"rate without a code", [](Controller& c) { return c.setBaudRate(38400, true, true); }},
        {"transparent of 65",
         [&](Controller& c) {
             return c.transparentCommand(std::string(65, 'A').c_str(), szAnswer);
         }},
        {"transparent of 64",
         [&](Controller& c) {
             return c.transparentCommand(std::string(64, 'A').c_str(), szAnswer);
         }},
        {"transparent without a buffer",
         [](Controller& c) { return c.transparentCommand("AT", nullptr); }},
        {"peer without a name",
         [](Controller& c) { return c.pairDevice(device("", "00A0961F2A01"), true); }},
        {"peer without an address",
         [](Controller& c) { return c.pairDevice(device("Tracker", ""), true); }},
    };
    ControllerRig rig;
    for (const auto& [pszName, operation] : cases) {
        SCOPED_TRACE(pszName);
        rig.clearTraffic();
        EXPECT_EQ(operation(rig.controller()), CFG_FAILED);
        EXPECT_EQ(rig.written(), "");
    }
}

// A quote or a control byte in a text would end its parameter early or carry a command of its
// own onto the wire; every operation that sends a text refuses it before anything goes out.
TEST(ControllerOperations, TextsThatCannotTravelInAParameterSendNothing) {
    using TextOperation = std::function<int32_t(Controller&, const char*)>;
    const std::vector<std::pair<const char*, TextOperation>> operations = {
        {"device name",
         [](Controller& c, const char* pszText) {
             std::string strName(pszText);
             return c.setDeviceName(strName.data(), true);
         }},
        {"service name",
         [](Controller& c, const char* pszText) {
             return c.setServiceName(PROFILE_SERIAL_PORT, pszText, false);
         }},
        {"fixed PIN",
         [](Controller& c, const char* pszText) { return c.setFixedPin(pszText, true); }},
        {"SSID", [](Controller& c, const char* pszText) { return c.configureSSID(pszText, true); }},
        {"remote peer's name",
         [](Controller& c, const char* pszText) {
             return c.configureDefaultRemotePeer(1, device(pszText, "00A0961F2A01"), 130, false,
                                                 true);
         }},
        {"paired device's name",
         [](Controller& c, const char* pszText) {
             return c.pairDevice(device(pszText, "00A0961F2A01"), true);
         }},
        {"paired device's address",
         [](Controller& c, const char* pszText) {
             return c.pairDevice(device("Tracker", pszText), true);
         }},
    };
    const char* const badTexts[] = {"a\"b", "a\rAT&F", "a\nb", "a\tb", "a\x1b[2Jb", "a\x7f"};
    const char* const pszGood = "A ~,\xC3\xBC";
    ControllerRig rig;
    for (const auto& [pszOperation, operation] : operations) {
        for (const char* pszBad : badTexts) {
            SCOPED_TRACE(std::string(pszOperation) + " with " + ::testing::PrintToString(pszBad));
            rig.clearTraffic();
            EXPECT_EQ(operation(rig.controller(), pszBad), CFG_FAILED);
            EXPECT_EQ(rig.written(), "");
        }
        SCOPED_TRACE(std::string(pszOperation) + " with a good text");
        rig.clearTraffic();
        operation(rig.controller(), pszGood);
        EXPECT_NE(rig.written().find(pszGood), std::string::npos) << rig.written();
    }
}

TEST(ControllerOperations, WithoutAnOpenPortEverythingFailsAndNothingIsSent) {
    ControllerRig rig;
    rig.controller().closePort();
    rig.clearTraffic();
    DevNameAddressPairT name;
    std::vector<DevNameAddressPairT> devices;
    EXPECT_FALSE(rig.controller().isCommandMode());
    EXPECT_EQ(rig.controller().getDeviceNameAndAddress(name), CFG_FAILED);
    EXPECT_EQ(rig.controller().writeIoPin(IoPinT(1), PinValueT(1)), CFG_FAILED);
    EXPECT_EQ(rig.controller().searchDevices(devices), CFG_FAILED);
    EXPECT_EQ(rig.controller().switchToCommandMode(), CFG_FAILED);
    EXPECT_EQ(rig.controller().resetModule(), CFG_FAILED);
    EXPECT_EQ(rig.written(), "");
}

TEST(ControllerOperations, ReadsTheModulesAnswers) {
    oryx::sim::ModuleRadioOptions options = moduleWithPeer();
    options.settings.name = "A name of twenty chr";
    options.settings.clientProfile = 0;
    options.settings.serverProfile = 255;
    options.settings.flowCode = 1;
    ControllerRig rig(options);
    Controller& controller = rig.controller();

    VersionInformationS version;
    ASSERT_EQ(controller.getVersionInformation(version), CFG_OK);
    EXPECT_STREQ(version.m_szFields[0], "ORYX 64 module");
    EXPECT_STREQ(version.m_szFields[4], "build 2026-03-14");

    DevNameAddressPairT local;
    ASSERT_EQ(controller.getDeviceNameAndAddress(local), CFG_OK);
    EXPECT_STREQ(local.m_szName, "A name of twenty");
    EXPECT_STREQ(local.m_szAddress, "0080370A1B2C");

    ConnectionProfileT client = PROFILE_NONE;
    ConnectionProfileT server = PROFILE_SERIAL_PORT;
    ASSERT_EQ(controller.getDefaultClientProfile(client), CFG_OK);
    ASSERT_EQ(controller.getDefaultServerProfile(server), CFG_OK);
    EXPECT_EQ(client, PROFILE_SERIAL_PORT);
    EXPECT_EQ(server, PROFILE_NONE);

    RS232SettingsS line;
    line.m_bDtrDsr = true;
    ASSERT_EQ(controller.getRS232Settings(line), CFG_OK);
    EXPECT_EQ(line.m_lFlowControl, FLOW_RTS_CTS);
    EXPECT_TRUE(line.m_bDtrDsr) << "the module does not report the PC's DTR flag";

    DevNameAddressPairT paired;
    ASSERT_EQ(controller.getPairedDevice(paired), CFG_OK);
    EXPECT_STREQ(paired.m_szName, "Tracker");
    EXPECT_STREQ(paired.m_szAddress, "00A0961F2A01");

    char szAnswer[2000];
    ASSERT_EQ(controller.transparentCommand("AT*AGLN?", szAnswer), CFG_OK);
    EXPECT_STREQ(szAnswer, "AT*AGLN?\r\r\n*AGLN:\"A name of twenty chr\"\r\nOK\r\n");
}

TEST(ControllerOperations, AnErrorAnswerIsAFailure) {
    ControllerRig rig;
    ModuleFaults faults;
    for (const char* pszWord : {"AGLN", "AILBA", "ADDCP", "AMWIO", "AMRS", "AGSM"}) {
        faults.words[pszWord] = {ModuleFaults::Kind::Error, {}};
    }
    rig.module().setModuleFaults(faults);
    Controller& controller = rig.controller();
    DevNameAddressPairT local = device("kept", "kept");
    ConnectionProfileT profile = PROFILE_NONE;
    EXPECT_EQ(controller.getDeviceNameAndAddress(local), CFG_FAILED);
    EXPECT_STREQ(local.m_szName, "kept");
    EXPECT_EQ(controller.getDefaultClientProfile(profile), CFG_FAILED);
    EXPECT_EQ(controller.writeIoPin(IoPinT(2), PinValueT(1)), CFG_FAILED);
    EXPECT_EQ(controller.setBaudRate(9600, true, true), CFG_FAILED);
    EXPECT_EQ(controller.configureSecurityMode(SecurityModeT(1), true), CFG_FAILED);
    EXPECT_EQ(rig.module().baud(), 115200u);
}

TEST(ControllerOperations, ThePcPortFollowsARateAppliedNow) {
    ControllerRig rig;
    Controller& controller = rig.controller();
    RS232SettingsS line;
    // DTR is the PC's own line: a rate change must leave it as it is.
    rig.port().SetRs232Settings(BAUD_115200, DATA_BITS_8, STOP_BITS_1, PARITY_NONE, FLOW_NONE,
                                true);

    ASSERT_EQ(controller.setBaudRate(57600, false, false), CFG_OK);
    rig.port().GetRs232Settings(line);
    EXPECT_EQ(line.m_lBaudRate, BAUD_115200);
    EXPECT_EQ(rig.module().baud(), 115200u);

    ASSERT_EQ(controller.setBaudRate(9600, true, false), CFG_OK);
    rig.port().GetRs232Settings(line);
    EXPECT_EQ(line.m_lBaudRate, BAUD_9600);
    EXPECT_TRUE(line.m_bDtrDsr);
    EXPECT_EQ(rig.module().baud(), 9600u);
    // Both ends at the new rate: the next exchange goes through.
    DevNameAddressPairT local;
    EXPECT_EQ(controller.getDeviceNameAndAddress(local), CFG_OK);
}

TEST(ControllerOperations, ResetAndFactoryDefaultsIgnoreTheAnswer) {
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.storedSettings.name = "Bay 4";
    ControllerRig rig(options);
    ModuleFaults faults;
    faults.words["AMWS"] = {ModuleFaults::Kind::NoAnswer, {}};
    rig.module().setModuleFaults(faults);
    EXPECT_EQ(rig.controller().resetModule(), CFG_OK);
    rig.module().setModuleFaults({});
    rig.clearTraffic();
    EXPECT_EQ(rig.controller().restoreFactoryDefaults(), CFG_OK);
    EXPECT_EQ(rig.written(), "AT\rAT&F\rAT\rAT*AMWS=0,0,0,0,1,0\r");
    EXPECT_EQ(rig.module().storedSettings().name, "ORYX-64");
    EXPECT_FALSE(rig.module().inCommandMode()) << "the module restarts into data mode";
}

// A module that does not answer the ping hears neither command: that is a failure, not CFG_OK.
TEST(ControllerOperations, ResetAndFactoryDefaultsFailWhenNothingCouldBeSent) {
    const std::vector<std::pair<const char*, std::function<int32_t(Controller&)>>> cases = {
        {"reset", [](Controller& c) { return c.resetModule(); }},
        {"factory defaults", [](Controller& c) { return c.restoreFactoryDefaults(); }},
    };
    ControllerRig rig(fastModule(false));
    for (const auto& [pszName, operation] : cases) {
        SCOPED_TRACE(pszName);
        rig.clearTraffic();
        EXPECT_EQ(operation(rig.controller()), CFG_FAILED);
        EXPECT_EQ(rig.written(), "AT\r") << "only the unanswered ping";
    }
}

// An answer that comes after its request gave up reaches the next request in front of its own.
// It must never pass for that request's answer, and a pause clears the line.
TEST(ControllerOperations, AStaleAnswerIsNeverTakenForTheNextOne) {
    ControllerRig rig;
    ModuleFaults faults;
    faults.words["ADDCP"] = {ModuleFaults::Kind::Hold, {}};
    rig.module().setModuleFaults(faults);
    Controller& controller = rig.controller();
    ConnectionProfileT profile = PROFILE_SERIAL_PORT;
    EXPECT_EQ(controller.getDefaultClientProfile(profile), CFG_TIMEOUT);
    rig.module().setModuleFaults({});

    int32_t lResult = controller.getDefaultServerProfile(profile);
    for (int i = 0; i < 20 && lResult != CFG_OK; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        lResult = controller.getDefaultServerProfile(profile);
    }
    ASSERT_EQ(lResult, CFG_OK);
    EXPECT_EQ(profile, PROFILE_SERIAL_PORT) << "the client profile's stale 255 was taken";
}

} // namespace
} // namespace controller_test
