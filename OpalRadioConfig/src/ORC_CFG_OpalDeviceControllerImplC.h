#pragma once

#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "ORC_CFG_Types.h"

#include <boost/noncopyable.hpp>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace ORC::PRT {
class SerialPortC;
}

namespace ORC::CFG {

class OpalDeviceRequestC;

// Drives one radio module over one serial port: every operation builds a request, sends it
// through `request` and turns the module's answer into a result code. The module's mode is never
// remembered: each AT* command is preceded by a fresh ping, so a module that dropped back into
// data mode makes the operation fail instead of receiving text it would pass on to the radio link.
//
// Every operation holds the controller lock for its whole duration; the lock is recursive, so
// operations may call one another. Lock order: controller lock, then the port's request lock,
// then the port's consumer lock.
class OpalDeviceControllerImplC : private boost::noncopyable {
public:
    OpalDeviceControllerImplC();
    virtual ~OpalDeviceControllerImplC();

    // Not owned; null forgets the port.
    virtual int32_t setPort(PRT::SerialPortC* pPort);
    virtual int32_t changePortSettings(const RS232SettingsS& rSettings);
    virtual int32_t openPort();
    virtual int32_t closePort();
    virtual int32_t switchToDataMode();
    virtual bool isCommandMode();
    // Appends to the caller's list, never clears it.
    virtual int32_t searchDevices(std::vector<DevNameAddressPairT>& rDevices);
    virtual int32_t pairDevice(const DevNameAddressPairT& rDevice, bool bPersistent);
    virtual int32_t getPairedDevice(DevNameAddressPairT& rDevice);
    virtual int32_t getVersionInformation(VersionInformationS& rVersion);
    virtual int32_t getDeviceNameAndAddress(DevNameAddressPairT& rDevice);
    virtual int32_t getDefaultClientProfile(ConnectionProfileT& rProfile);
    virtual int32_t getDefaultServerProfile(ConnectionProfileT& rProfile);
    virtual int32_t setDeviceName(char* pszName, bool bPersistent);
    virtual int32_t setServiceName(ConnectionProfileT eProfile, const char* pszName,
                                   bool bResetAfter);
    virtual int32_t setClassOfDevice(unsigned long ulClassOfDevice, bool bPersistent);
    virtual int32_t configureConnectabilityMode(ConnectabilityModeT eMode, bool bPersistent);
    virtual int32_t configureDiscoverabilityMode(DiscoverabilityModeT eMode, bool bPersistent);
    virtual int32_t configureWirelessMultidrop(bool bEnable, bool bPersistent);
    virtual int32_t configureDefaultClientProfile(ConnectionProfileT eProfile, bool bPersistent);
    virtual int32_t configureDefaultServerProfile(ConnectionProfileT eProfile, bool bPersistent);
    virtual int32_t configureNoRemotePeers(unsigned char unCount, bool bPersistent);
    virtual int32_t configureFeatureMask(unsigned char unMask, bool bPersistent);
    virtual int32_t configureDefaultRemotePeer(unsigned char unIndex, DevNameAddressPairT device,
                                               unsigned long ulPeerCode, bool bPeerFlag,
                                               bool bPersistent);
    virtual int32_t configureDtrDsrSettings(DtrSettingT eDtr, DsrSettingT eDsr, bool bPersistent);
    virtual int32_t configurePowerSaveMode(PowerSaveModeT eMode, bool bPersistent);
    virtual int32_t configureSecurityMode(SecurityModeT eMode, bool bPersistent);
    virtual int32_t setFixedPin(const char* pszPin, bool bPersistent);
    virtual int32_t setBaudRate(unsigned long ulBaudRate, bool bApplyNow, bool bPersistent);
    virtual int32_t setFlowControl(bool bRtsCts, bool bApplyNow, bool bPersistent);
    virtual int32_t resetModule();
    virtual int32_t restoreFactoryDefaults();
    virtual int32_t getRS232Settings(RS232SettingsS& rSettings);
    virtual int32_t setRS232Settings(RS232SettingsS settings, bool bApplyNow, bool bPersistent);
    // The answer buffer holds at least 2000 bytes.
    virtual int32_t transparentCommand(const char* pszCommand, char* pszAnswer);
    virtual int32_t writeIoPin(IoPinT ePin, PinValueT eValue);
    virtual int32_t configureSSID(const char* pszSsid, bool bPersistent);
    // The outcome of the exchange on the line; the module's answer is the request's own result.
    virtual int32_t request(OpalDeviceRequestC& rRequest);

    bool isConnected();
    int32_t switchToCommandMode();
    int32_t switchToProductionMode();

private:
    // One parameter of a setting command, in the kind the command line needs.
    struct CommandParamS {
        enum KindT { TEXT, QUOTED_TEXT, NUMBER, BYTE };
        KindT eKind;
        const char* pszText;
        int32_t lValue;
    };
    static CommandParamS text(const char* pszText) { return {CommandParamS::TEXT, pszText, 0}; }
    static CommandParamS quoted(const char* pszText) {
        return {CommandParamS::QUOTED_TEXT, pszText, 0};
    }
    static CommandParamS number(int32_t lValue) { return {CommandParamS::NUMBER, nullptr, lValue}; }
    static CommandParamS byte(uint8_t unValue) { return {CommandParamS::BYTE, nullptr, unValue}; }

    // Copies at most unMax characters of an answer and terminates; the field holds unMax + 1.
    static void copyCut(char* pszField, const std::string& rText, size_t unMax);
    static void appendParams(OpalDeviceRequestC& rRequest,
                             std::initializer_list<CommandParamS> params);
    // How long an exchange waits for the module's answer on the port in use.
    uint32_t answerTimeout(const OpalDeviceRequestC& rRequest) const;
    // The outcome on the line when the exchange failed, else the module's answer.
    int32_t exchange(OpalDeviceRequestC& rRequest);
    // Sends one setting command of the form "AT*WORD=p1,p2,...\r" and returns its outcome.
    int32_t sendSetting(const char* pszWord, std::initializer_list<CommandParamS> params,
                        uint32_t ulTimeout = DEFAULT_TIMEOUT_MS);
    int32_t queryProfile(const char* pszWord, ConnectionProfileT& rProfile);
    // Reads the module's line settings, lets the change alter them and writes them back.
    template <typename ChangeT>
    int32_t changeModuleLine(ChangeT change, bool bApplyNow, bool bPersistent);
    // Asks for the name with the address whole, as the inquiry reported it; the record the
    // caller gets holds the address cut to its field.
    int32_t queryDeviceName(const std::string& rAddress, DevNameAddressPairT& rNamed);

    static constexpr uint32_t DEFAULT_TIMEOUT_MS = 1000;

    FWK::TSK::CriticalSectionC m_lock;
    PRT::SerialPortC* m_pPort = nullptr;
};

} // namespace ORC::CFG
