#include "ORC_CFG_OpalDeviceControllerImplC.h"

#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_PRT_SerialPortC.h"

namespace ORC::CFG {

OpalDeviceControllerImplC::OpalDeviceControllerImplC() = default;
OpalDeviceControllerImplC::~OpalDeviceControllerImplC() = default;

int32_t OpalDeviceControllerImplC::setPort(PRT::SerialPortC* pPort) {
    m_pPort = pPort;
    return CFG_OK;
}
int32_t OpalDeviceControllerImplC::changePortSettings(const RS232SettingsS&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::openPort() {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::closePort() {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::switchToDataMode() {
    return CFG_FAILED;
}
bool OpalDeviceControllerImplC::isCommandMode() {
    return false;
}
int32_t OpalDeviceControllerImplC::searchDevices(std::vector<DevNameAddressPairT>&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::pairDevice(const DevNameAddressPairT&, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getPairedDevice(DevNameAddressPairT&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getVersionInformation(VersionInformationS&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getDeviceNameAndAddress(DevNameAddressPairT&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getDefaultClientProfile(ConnectionProfileT&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getDefaultServerProfile(ConnectionProfileT&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setDeviceName(char*, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setServiceName(ConnectionProfileT, const char*, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setClassOfDevice(unsigned long, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureConnectabilityMode(ConnectabilityModeT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureDiscoverabilityMode(DiscoverabilityModeT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureWirelessMultidrop(bool, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureDefaultClientProfile(ConnectionProfileT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureDefaultServerProfile(ConnectionProfileT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureNoRemotePeers(unsigned char, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureFeatureMask(unsigned char, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureDefaultRemotePeer(unsigned char, DevNameAddressPairT,
                                                              unsigned long, bool, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureDtrDsrSettings(DtrSettingT, DsrSettingT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configurePowerSaveMode(PowerSaveModeT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureSecurityMode(SecurityModeT, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setFixedPin(const char*, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setBaudRate(unsigned long, bool, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setFlowControl(bool, bool, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::resetModule() {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::restoreFactoryDefaults() {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::getRS232Settings(RS232SettingsS&) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::setRS232Settings(RS232SettingsS, bool, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::transparentCommand(const char*, char*) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::writeIoPin(IoPinT, PinValueT) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::configureSSID(const char*, bool) {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::request(OpalDeviceRequestC&) {
    return CFG_FAILED;
}
bool OpalDeviceControllerImplC::isConnected() {
    return false;
}
int32_t OpalDeviceControllerImplC::switchToCommandMode() {
    return CFG_FAILED;
}
int32_t OpalDeviceControllerImplC::switchToProductionMode() {
    return CFG_FAILED;
}

} // namespace ORC::CFG
