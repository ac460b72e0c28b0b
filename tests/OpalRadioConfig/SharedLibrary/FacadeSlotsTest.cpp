// A host's copy of the controller class, written from its published slot order rather than
// taken from the library's header, driven through libOpalRadioConfig.so against a simulated
// module. Each operation leaves its own command on the wire, so an operation that sits in
// another slot than a host expects sends the wrong command and fails its row.
#include "ORC_CFG_Types.h"
#include "sim/ModuleRadio.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace ORC::CFG {

class OpalDeviceControllerC {
public:
    OpalDeviceControllerC();
    virtual ~OpalDeviceControllerC();
    virtual int32_t createPort(const char*, RS232SettingsS);
    virtual int32_t openPort();
    virtual int32_t closePort();
    virtual int32_t changePortSettings(const RS232SettingsS&);
    virtual int32_t switchToDataMode();
    virtual bool isCommandMode();
    virtual int32_t searchDevices(std::vector<DevNameAddressPairT>&);
    virtual int32_t pairDevice(const DevNameAddressPairT&, bool);
    virtual int32_t getPairedDevice(DevNameAddressPairT&);
    virtual int32_t getVersionInformation(VersionInformationS&);
    virtual int32_t getDeviceNameAndAddress(DevNameAddressPairT&);
    virtual int32_t getDefaultClientProfile(ConnectionProfileT&);
    virtual int32_t getDefaultServerProfile(ConnectionProfileT&);
    virtual int32_t setDeviceName(char*, bool);
    virtual int32_t setServiceName(ConnectionProfileT, const char*, bool);
    virtual int32_t setClassOfDevice(unsigned long, bool);
    virtual int32_t configureConnectabilityMode(ConnectabilityModeT, bool);
    virtual int32_t configureDiscoverabilityMode(DiscoverabilityModeT, bool);
    virtual int32_t configureWirelessMultidrop(bool, bool);
    virtual int32_t configureDefaultClientProfile(ConnectionProfileT, bool);
    virtual int32_t configureDefaultServerProfile(ConnectionProfileT, bool);
    virtual int32_t configureNoRemotePeers(unsigned char, bool);
    virtual int32_t configureFeatureMask(unsigned char, bool);
    virtual int32_t configureDefaultRemotePeer(unsigned char, DevNameAddressPairT, unsigned long,
                                               bool, bool);
    virtual int32_t configureDtrDsrSettings(DtrSettingT, DsrSettingT, bool);
    virtual int32_t configurePowerSaveMode(PowerSaveModeT, bool);
    virtual int32_t configureSecurityMode(SecurityModeT, bool);
    virtual int32_t setFixedPin(const char*, bool);
    virtual int32_t setBaudRate(unsigned long, bool, bool);
    virtual int32_t setFlowControl(bool, bool, bool);
    virtual int32_t getRS232Settings(RS232SettingsS&);
    virtual int32_t setRS232Settings(RS232SettingsS, bool, bool);
    virtual int32_t resetModule();
    virtual int32_t restoreFactoryDefaults();
    virtual int32_t transparentCommand(const char*, char*);
    virtual int32_t writeIoPin(IoPinT, PinValueT);
    virtual int32_t configureSSID(const char*, bool);
    int32_t switchToCommandMode();
    int32_t switchToProductionMode();

private:
    void* m_pImpl;
    void* m_pPort;
};

} // namespace ORC::CFG

namespace {

using namespace ORC::CFG;
using namespace std::chrono_literals;
using testing::HasSubstr;

constexpr char kPeerAddress[] = "0080370BEEF1";

DevNameAddressPairT Peer() {
    DevNameAddressPairT peer;
    std::strcpy(peer.m_szName, "Peer");
    std::strcpy(peer.m_szAddress, kPeerAddress);
    return peer;
}

struct SlotCaseS {
    const char* operation;
    std::function<int32_t(OpalDeviceControllerC&)> call;
    // What only this operation writes.
    std::string command;
};

std::vector<SlotCaseS> SlotCases() {
    static std::vector<DevNameAddressPairT> found;
    static VersionInformationS version;
    static char answer[2000];
    static char name[] = "Slot";
    DevNameAddressPairT peer = Peer();
    RS232SettingsS line;
    return {
        {"switchToDataMode", [](auto& c) { return c.switchToDataMode(); }, "AT*ADDM\r"},
        {"isCommandMode", [](auto& c) { return c.isCommandMode() ? CFG_OK : CFG_FAILED; }, "AT\r"},
        {"searchDevices", [](auto& c) { return c.searchDevices(found); }, "AT*AGI=2,10,15\r"},
        {"pairDevice", [peer](auto& c) { return c.pairDevice(peer, true); },
         "AT*ADWDRP=0,0080370BEEF1,130,0,\"Peer\",1\r"},
        {"getPairedDevice",
         [peer](auto& c) {
             DevNameAddressPairT d;
             return c.getPairedDevice(d);
         },
         "AT*ADRDRP=0\r"},
        {"getVersionInformation", [](auto& c) { return c.getVersionInformation(version); },
         "AT*AILVI?\r"},
        {"getDeviceNameAndAddress",
         [](auto& c) {
             DevNameAddressPairT d;
             return c.getDeviceNameAndAddress(d);
         },
         "AT*AGLN?\r"},
        {"getDefaultClientProfile",
         [](auto& c) {
             ConnectionProfileT p;
             return c.getDefaultClientProfile(p);
         },
         "AT*ADDCP?\r"},
        {"getDefaultServerProfile",
         [](auto& c) {
             ConnectionProfileT p;
             return c.getDefaultServerProfile(p);
         },
         "AT*ADDSP?\r"},
        {"setDeviceName", [](auto& c) { return c.setDeviceName(name, true); },
         "AT*AGLN=\"Slot\",1\r"},
        {"setServiceName",
         [](auto& c) { return c.setServiceName(PROFILE_SERIAL_PORT, "Svc", false); },
         "AT*ADWSN=0,\"Svc\",1\r"},
        {"setClassOfDevice", [](auto& c) { return c.setClassOfDevice(7978, true); },
         "AT*AGLC=7978,1\r"},
        {"configureConnectabilityMode",
         [](auto& c) { return c.configureConnectabilityMode(CONNECTABILITY_CLIENT_ROLE, false); },
         "AT*AGCM=1,0\r"},
        {"configureDiscoverabilityMode",
         [](auto& c) { return c.configureDiscoverabilityMode(DISCOVERABILITY_SERVER_ROLE, false); },
         "AT*AGDM=3,0\r"},
        {"configureWirelessMultidrop",
         [](auto& c) { return c.configureWirelessMultidrop(true, false); }, "AT*ADWM=1,0,0\r"},
        {"configureDefaultClientProfile",
         [](auto& c) { return c.configureDefaultClientProfile(PROFILE_SERIAL_PORT, false); },
         "AT*ADDCP=0,0\r"},
        {"configureDefaultServerProfile",
         [](auto& c) { return c.configureDefaultServerProfile(PROFILE_NONE, false); },
         "AT*ADDSP=255,0\r"},
        {"configureNoRemotePeers", [](auto& c) { return c.configureNoRemotePeers(1, false); },
         "AT*ADNRP=1,0\r"},
        {"configureFeatureMask", [](auto& c) { return c.configureFeatureMask(5, false); },
         "AT*AMWFM=1,5,0\r"},
        {"configureDefaultRemotePeer",
         [peer](auto& c) { return c.configureDefaultRemotePeer(1, peer, 131, true, false); },
         "AT*ADWDRP=1,0080370BEEF1,131,1,\"Peer\",0\r"},
        {"configureDtrDsrSettings",
         [](auto& c) { return c.configureDtrDsrSettings(DtrSettingT(1), DsrSettingT(2), false); },
         "AT*AMDS=1,2,0\r"},
        {"configurePowerSaveMode",
         [](auto& c) { return c.configurePowerSaveMode(PowerSaveModeT(2), false); },
         "AT*AMPM=2,0\r"},
        {"configureSecurityMode",
         [](auto& c) { return c.configureSecurityMode(SecurityModeT(2), false); }, "AT*AGSM=2,0\r"},
        {"setFixedPin", [](auto& c) { return c.setFixedPin("1234", false); },
         "AT*AGFP=\"1234\",0\r"},
        // The module reports flow control code 2; only setFlowControl turns it into 1.
        {"setBaudRate", [](auto& c) { return c.setBaudRate(115200, false, false); },
         "AT*AMRS?\rAT\rAT*AMRS=9,1,1,1,2,0,0\r"},
        {"setFlowControl", [](auto& c) { return c.setFlowControl(true, false, false); },
         "AT*AMRS?\rAT\rAT*AMRS=9,1,1,1,1,0,0\r"},
        {"getRS232Settings",
         [line](auto& c) {
             RS232SettingsS s = line;
             return c.getRS232Settings(s);
         },
         "AT*AMRS?\r"},
        {"setRS232Settings", [line](auto& c) { return c.setRS232Settings(line, false, false); },
         "AT*AMRS=9,1,1,1,2,0,0\r"},
        {"resetModule", [](auto& c) { return c.resetModule(); }, "AT*AMWS=0,0,0,0,1,0\r"},
        {"restoreFactoryDefaults", [](auto& c) { return c.restoreFactoryDefaults(); }, "AT&F\r"},
        {"transparentCommand", [](auto& c) { return c.transparentCommand("ATI5", answer); },
         "ATI5\r"},
        {"writeIoPin", [](auto& c) { return c.writeIoPin(IoPinT(3), PinValueT(1)); },
         "AT*AMWIO=3,1\r"},
        {"configureSSID", [](auto& c) { return c.configureSSID("Net", false); },
         "AT*AGSSID=\"Net\",0\r"},
        {"switchToCommandMode", [](auto& c) { return c.switchToCommandMode(); }, "AT\r"},
        {"switchToProductionMode", [](auto& c) { return c.switchToProductionMode(); }, "ATP\r"},
    };
}

TEST(FacadeSlotsTest, BeforeCreatePortEveryOperationFailsAndSendsNothing) {
    OpalDeviceControllerC controller;
    for (const SlotCaseS& slot : SlotCases()) {
        EXPECT_EQ(slot.call(controller), CFG_FAILED) << slot.operation;
    }
    EXPECT_EQ(controller.openPort(), CFG_FAILED);
    EXPECT_EQ(controller.closePort(), CFG_FAILED);
    EXPECT_EQ(controller.changePortSettings(RS232SettingsS{}), CFG_FAILED);
}

TEST(FacadeSlotsTest, EveryOperationSendsItsOwnCommandThroughTheHostsSlot) {
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "facade-slots-" + std::to_string(::getpid());
    options.commandMode = true;
    options.replyDelay = 0ms;
    options.inquiryDelay = 10ms;
    options.nameDelay = 10ms;
    options.devices = {{kPeerAddress, 7978, "Peer"}};
    oryx::sim::ModuleRadio radio(options);
    radio.start();

    OpalDeviceControllerC controller;
    ASSERT_EQ(controller.createPort(radio.slavePath().c_str(), RS232SettingsS{}), CFG_OK);
    ASSERT_EQ(controller.openPort(), CFG_OK);
    for (const SlotCaseS& slot : SlotCases()) {
        radio.setCommandMode(true);
        radio.traffic().clear();
        slot.call(controller);
        EXPECT_THAT(radio.traffic().written(), HasSubstr(slot.command)) << slot.operation;
    }

    // The port operations: a PC port at another rate than the module's is not understood.
    radio.setCommandMode(true);
    RS232SettingsS slower;
    slower.m_lBaudRate = BAUD_9600;
    EXPECT_EQ(controller.changePortSettings(slower), CFG_OK);
    EXPECT_FALSE(controller.isCommandMode());
    EXPECT_EQ(controller.changePortSettings(RS232SettingsS{}), CFG_OK);
    EXPECT_TRUE(controller.isCommandMode());
    EXPECT_EQ(controller.closePort(), CFG_OK);
    EXPECT_FALSE(controller.isCommandMode());
}

TEST(FacadeSlotsTest, CreatePortAgainReplacesTheFirstPort) {
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "facade-replace-" + std::to_string(::getpid());
    options.commandMode = true;
    options.replyDelay = 0ms;
    oryx::sim::ModuleRadio radio(options);
    radio.start();

    OpalDeviceControllerC controller;
    ASSERT_EQ(controller.createPort(radio.slavePath().c_str(), RS232SettingsS{}), CFG_OK);
    ASSERT_EQ(controller.openPort(), CFG_OK);
    // The device is exclusive: it opens again only once the first port has closed it.
    ASSERT_EQ(controller.createPort(radio.slavePath().c_str(), RS232SettingsS{}), CFG_OK);
    EXPECT_FALSE(controller.isCommandMode()) << "not opened yet";
    ASSERT_EQ(controller.openPort(), CFG_OK);
    EXPECT_TRUE(controller.isCommandMode());
}

} // namespace
