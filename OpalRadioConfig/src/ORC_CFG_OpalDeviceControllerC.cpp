#include "ORC_CFG_OpalDeviceControllerC.h"

#include "Fwk_Uti/FWK_UTI_StringC.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"
#include "ORC_CFG_OpalDeviceControllerImplC.h"
#include "ORC_PRT_SerialPortC.h"

#include <string>
#include <utility>

namespace ORC::CFG {
namespace {

// Every operation but createPort is the implementation's operation of the same name; a
// controller without one answers as a host expects of a library that is not ready.
template <typename ResultT, typename... ParamsT, typename... ArgsT>
ResultT forward(OpalDeviceControllerImplC* pImpl,
                ResultT (OpalDeviceControllerImplC::*pOperation)(ParamsT...), ArgsT&&... args) {
    if (pImpl == nullptr) {
        if constexpr (std::is_same_v<ResultT, bool>) {
            return false;
        } else {
            return CFG_NOT_READY;
        }
    }
    return (pImpl->*pOperation)(std::forward<ArgsT>(args)...);
}

} // namespace

OpalDeviceControllerC::OpalDeviceControllerC() : m_pImpl(new OpalDeviceControllerImplC) {}

OpalDeviceControllerC::~OpalDeviceControllerC() {
    delete m_pImpl;
    // Closes the device and ends its reader thread.
    delete m_pPort;
}

int32_t OpalDeviceControllerC::createPort(const char* pszPortName, RS232SettingsS settings) {
    if (m_pPort != nullptr) {
        // The implementation must not keep using a port that is gone.
        if (m_pImpl != nullptr) {
            m_pImpl->setPort(nullptr);
        }
        delete m_pPort;
        m_pPort = nullptr;
    }
    if (m_pImpl == nullptr) {
        return CFG_NOT_READY;
    }
    m_pPort = new PRT::SerialPortC;
    const std::u16string strName = FWK::UTI::toWide(pszPortName != nullptr ? pszPortName : "");
    m_pPort->SetPortName(FWK::UTI::StringC(strName.c_str()));
    m_pPort->SetRs232Settings(settings.m_lBaudRate, settings.m_lDataBits, settings.m_lStopBits,
                              settings.m_lParity, settings.m_lFlowControl, settings.m_bDtrDsr);
    m_pImpl->setPort(m_pPort);
    return CFG_OK;
}

int32_t OpalDeviceControllerC::openPort() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::openPort);
}

int32_t OpalDeviceControllerC::closePort() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::closePort);
}

int32_t OpalDeviceControllerC::changePortSettings(const RS232SettingsS& rSettings) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::changePortSettings, rSettings);
}

int32_t OpalDeviceControllerC::switchToDataMode() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::switchToDataMode);
}

bool OpalDeviceControllerC::isCommandMode() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::isCommandMode);
}

int32_t OpalDeviceControllerC::searchDevices(std::vector<DevNameAddressPairT>& rDevices) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::searchDevices, rDevices);
}

int32_t OpalDeviceControllerC::pairDevice(const DevNameAddressPairT& rDevice, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::pairDevice, rDevice, bPersistent);
}

int32_t OpalDeviceControllerC::getPairedDevice(DevNameAddressPairT& rDevice) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getPairedDevice, rDevice);
}

int32_t OpalDeviceControllerC::getVersionInformation(VersionInformationS& rVersion) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getVersionInformation, rVersion);
}

int32_t OpalDeviceControllerC::getDeviceNameAndAddress(DevNameAddressPairT& rDevice) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getDeviceNameAndAddress, rDevice);
}

int32_t OpalDeviceControllerC::getDefaultClientProfile(ConnectionProfileT& rProfile) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getDefaultClientProfile, rProfile);
}

int32_t OpalDeviceControllerC::getDefaultServerProfile(ConnectionProfileT& rProfile) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getDefaultServerProfile, rProfile);
}

int32_t OpalDeviceControllerC::setDeviceName(char* pszName, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setDeviceName, pszName, bPersistent);
}

int32_t OpalDeviceControllerC::setServiceName(ConnectionProfileT profile, const char* pszName,
                                              bool bResetAfter) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setServiceName, profile, pszName,
                   bResetAfter);
}

int32_t OpalDeviceControllerC::setClassOfDevice(unsigned long ulClassOfDevice, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setClassOfDevice, ulClassOfDevice,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureConnectabilityMode(ConnectabilityModeT mode,
                                                           bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureConnectabilityMode, mode,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureDiscoverabilityMode(DiscoverabilityModeT mode,
                                                            bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureDiscoverabilityMode, mode,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureWirelessMultidrop(bool bEnable, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureWirelessMultidrop, bEnable,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureDefaultClientProfile(ConnectionProfileT profile,
                                                             bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureDefaultClientProfile, profile,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureDefaultServerProfile(ConnectionProfileT profile,
                                                             bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureDefaultServerProfile, profile,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureNoRemotePeers(unsigned char unCount, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureNoRemotePeers, unCount,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configureFeatureMask(unsigned char unMask, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureFeatureMask, unMask, bPersistent);
}

int32_t OpalDeviceControllerC::configureDefaultRemotePeer(unsigned char unIndex,
                                                          DevNameAddressPairT device,
                                                          unsigned long ulPeerCode, bool bPeerFlag,
                                                          bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureDefaultRemotePeer, unIndex, device,
                   ulPeerCode, bPeerFlag, bPersistent);
}

int32_t OpalDeviceControllerC::configureDtrDsrSettings(DtrSettingT dtr, DsrSettingT dsr,
                                                       bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureDtrDsrSettings, dtr, dsr,
                   bPersistent);
}

int32_t OpalDeviceControllerC::configurePowerSaveMode(PowerSaveModeT mode, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configurePowerSaveMode, mode, bPersistent);
}

int32_t OpalDeviceControllerC::configureSecurityMode(SecurityModeT mode, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureSecurityMode, mode, bPersistent);
}

int32_t OpalDeviceControllerC::setFixedPin(const char* pszPin, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setFixedPin, pszPin, bPersistent);
}

int32_t OpalDeviceControllerC::setBaudRate(unsigned long ulBaudRate, bool bApplyNow,
                                           bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setBaudRate, ulBaudRate, bApplyNow,
                   bPersistent);
}

int32_t OpalDeviceControllerC::setFlowControl(bool bRtsCts, bool bApplyNow, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setFlowControl, bRtsCts, bApplyNow,
                   bPersistent);
}

int32_t OpalDeviceControllerC::getRS232Settings(RS232SettingsS& rSettings) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::getRS232Settings, rSettings);
}

int32_t OpalDeviceControllerC::setRS232Settings(RS232SettingsS settings, bool bApplyNow,
                                                bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::setRS232Settings, settings, bApplyNow,
                   bPersistent);
}

int32_t OpalDeviceControllerC::resetModule() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::resetModule);
}

int32_t OpalDeviceControllerC::restoreFactoryDefaults() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::restoreFactoryDefaults);
}

int32_t OpalDeviceControllerC::transparentCommand(const char* pszCommand, char* pszAnswer) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::transparentCommand, pszCommand, pszAnswer);
}

int32_t OpalDeviceControllerC::writeIoPin(IoPinT pin, PinValueT value) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::writeIoPin, pin, value);
}

int32_t OpalDeviceControllerC::configureSSID(const char* pszSsid, bool bPersistent) {
    return forward(m_pImpl, &OpalDeviceControllerImplC::configureSSID, pszSsid, bPersistent);
}

int32_t OpalDeviceControllerC::switchToCommandMode() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::switchToCommandMode);
}

int32_t OpalDeviceControllerC::switchToProductionMode() {
    return forward(m_pImpl, &OpalDeviceControllerImplC::switchToProductionMode);
}

int32_t OpalDeviceControllerC::getLinkRoundTrip(uint32_t& rulMilliseconds) {
    if (m_pPort == nullptr || !m_pPort->IsConnected()) {
        return CFG_FAILED;
    }
    rulMilliseconds = m_pPort->RoundTripMs();
    return CFG_OK;
}

} // namespace ORC::CFG
