#pragma once

#include "ORC_CFG_Types.h"
#include "ORC_Export.h"

#include <cstdint>
#include <vector>

namespace ORC::PRT {
class SerialPortC;
}

namespace ORC::CFG {

class OpalDeviceControllerImplC;

// Drives one radio module over one serial port: a host creates the port, opens it, brings the
// module into command mode and then reads, writes, searches and pairs. Every call blocks until
// the module has answered or its time-out has passed, and returns a result code of
// ORC_CFG_Types.h (0 for success).
//
// Hosts reach the virtual operations through the virtual table, so their order is the binary
// interface: new operations go at the end, never in between.
class ORC_EXPORT OpalDeviceControllerC {
public:
    OpalDeviceControllerC();
    virtual ~OpalDeviceControllerC();

    // Two objects sharing one implementation and one port would destroy both twice.
    OpalDeviceControllerC(const OpalDeviceControllerC&) = delete;
    OpalDeviceControllerC& operator=(const OpalDeviceControllerC&) = delete;

    // Replaces any earlier port (closing it); the new one is not opened yet.
    virtual int32_t createPort(const char* pszPortName, RS232SettingsS settings);
    virtual int32_t openPort();
    virtual int32_t closePort();
    virtual int32_t changePortSettings(const RS232SettingsS& rSettings);
    virtual int32_t switchToDataMode();
    virtual bool isCommandMode();
    virtual int32_t searchDevices(std::vector<DevNameAddressPairT>& rDevices);
    virtual int32_t pairDevice(const DevNameAddressPairT& rDevice, bool bPersistent);
    virtual int32_t getPairedDevice(DevNameAddressPairT& rDevice);
    virtual int32_t getVersionInformation(VersionInformationS& rVersion);
    virtual int32_t getDeviceNameAndAddress(DevNameAddressPairT& rDevice);
    virtual int32_t getDefaultClientProfile(ConnectionProfileT& rProfile);
    virtual int32_t getDefaultServerProfile(ConnectionProfileT& rProfile);
    virtual int32_t setDeviceName(char* pszName, bool bPersistent);
    virtual int32_t setServiceName(ConnectionProfileT profile, const char* pszName,
                                   bool bResetAfter);
    virtual int32_t setClassOfDevice(unsigned long ulClassOfDevice, bool bPersistent);
    virtual int32_t configureConnectabilityMode(ConnectabilityModeT mode, bool bPersistent);
    virtual int32_t configureDiscoverabilityMode(DiscoverabilityModeT mode, bool bPersistent);
    virtual int32_t configureWirelessMultidrop(bool bEnable, bool bPersistent);
    virtual int32_t configureDefaultClientProfile(ConnectionProfileT profile, bool bPersistent);
    virtual int32_t configureDefaultServerProfile(ConnectionProfileT profile, bool bPersistent);
    virtual int32_t configureNoRemotePeers(unsigned char unCount, bool bPersistent);
    virtual int32_t configureFeatureMask(unsigned char unMask, bool bPersistent);
    virtual int32_t configureDefaultRemotePeer(unsigned char unIndex, DevNameAddressPairT device,
                                               unsigned long ulPeerCode, bool bPeerFlag,
                                               bool bPersistent);
    virtual int32_t configureDtrDsrSettings(DtrSettingT dtr, DsrSettingT dsr, bool bPersistent);
    virtual int32_t configurePowerSaveMode(PowerSaveModeT mode, bool bPersistent);
    virtual int32_t configureSecurityMode(SecurityModeT mode, bool bPersistent);
    virtual int32_t setFixedPin(const char* pszPin, bool bPersistent);
    virtual int32_t setBaudRate(unsigned long ulBaudRate, bool bApplyNow, bool bPersistent);
    virtual int32_t setFlowControl(bool bRtsCts, bool bApplyNow, bool bPersistent);
    virtual int32_t getRS232Settings(RS232SettingsS& rSettings);
    virtual int32_t setRS232Settings(RS232SettingsS settings, bool bApplyNow, bool bPersistent);
    virtual int32_t resetModule();
    virtual int32_t restoreFactoryDefaults();
    // pszAnswer must hold at least 2000 bytes.
    virtual int32_t transparentCommand(const char* pszCommand, char* pszAnswer);
    virtual int32_t writeIoPin(IoPinT pin, PinValueT value);
    virtual int32_t configureSSID(const char* pszSsid, bool bPersistent);

    // Escape from data mode; returns at once when the module already answers in command mode.
    int32_t switchToCommandMode();
    int32_t switchToProductionMode();
    // The measured round trip of the open port's link to a device server (0 on a local port);
    // CFG_FAILED while no port is open.
    int32_t getLinkRoundTrip(uint32_t& rulMilliseconds);

private:
    OpalDeviceControllerImplC* m_pImpl;
    PRT::SerialPortC* m_pPort = nullptr;
};

} // namespace ORC::CFG
