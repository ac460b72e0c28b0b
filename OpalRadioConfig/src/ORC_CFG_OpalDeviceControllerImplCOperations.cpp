// The setting and query operations of the controller: one AT* command each, built on request.
#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_ControllerLog.h"
#include "ORC_CFG_FactorySettingsRequestC.h"
#include "ORC_CFG_NumberResponseParamC.h"
#include "ORC_CFG_OpalDeviceControllerImplC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_TransparentRequestC.h"
#include "ORC_PRT_SerialPortC.h"

#include <cstring>

namespace ORC::CFG {

namespace {
using FWK::DBG::PerformanceLogC;
using FWK::TSK::GuardC;

constexpr size_t MAX_NAME_LEN = 15;
constexpr size_t MAX_SSID_LEN = 32;
constexpr size_t MAX_TRANSPARENT_LEN = 64;
// Copies out of an answer are cut to this many characters.
constexpr size_t NAME_COPY_LEN = 16;
constexpr size_t LOCAL_ADDRESS_COPY_LEN = 17;
constexpr size_t ANSWER_COPY_LEN = 1999;
constexpr int RS232_FIELD_COUNT = 5;

bool fitsLength(const char* pszText, size_t unMax) {
    return pszText != nullptr && strnlen(pszText, unMax + 1) <= unMax;
}

// request fails with CFG_FAILED only before anything is written (incomplete request, port
// closed, no ping answer); every later outcome means the command line went out.
bool wasSent(int32_t lRequestResult) {
    return lRequestResult != CFG_FAILED;
}

} // namespace

int32_t OpalDeviceControllerImplC::getVersionInformation(VersionInformationS& rVersion) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::getVersionInformation");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    OpalDeviceRequestC query("AILVI", RF_QUERY, DEFAULT_TIMEOUT_MS);
    BasicStringResponseParamC fields[VersionInformationS::FIELD_COUNT];
    for (BasicStringResponseParamC& rField : fields) {
        query.addResponseParam(&rField);
    }
    const int32_t lResult = request(query);
    if (lResult != CFG_OK) {
        return lResult;
    }
    for (const BasicStringResponseParamC& rField : fields) {
        if (!rField.isValid()) {
            return CFG_FAILED;
        }
    }
    for (int i = 0; i < VersionInformationS::FIELD_COUNT; ++i) {
        copyCut(rVersion.m_szFields[i], fields[i].getValue(), ANSWER_COPY_LEN);
    }
    return CFG_OK;
}

int32_t OpalDeviceControllerImplC::getDeviceNameAndAddress(DevNameAddressPairT& rDevice) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::getDeviceNameAndAddress");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    // The module's own answer decides as well: an "ERROR" must not pass for an empty name.
    OpalDeviceRequestC nameQuery("AGLN", RF_QUERY, DEFAULT_TIMEOUT_MS);
    BasicStringResponseParamC name;
    nameQuery.addResponseParam(&name);
    if (const int32_t lResult = exchange(nameQuery); lResult != CFG_OK) {
        return lResult;
    }
    copyCut(rDevice.m_szName, name.getValue(), NAME_COPY_LEN);
    OpalDeviceRequestC addressQuery("AILBA", RF_QUERY, DEFAULT_TIMEOUT_MS);
    BasicStringResponseParamC address;
    addressQuery.addResponseParam(&address);
    if (const int32_t lResult = exchange(addressQuery); lResult != CFG_OK) {
        return lResult;
    }
    copyCut(rDevice.m_szAddress, address.getValue(), LOCAL_ADDRESS_COPY_LEN);
    return CFG_OK;
}

int32_t OpalDeviceControllerImplC::queryProfile(const char* pszWord, ConnectionProfileT& rProfile) {
    if (!isConnected()) {
        return CFG_FAILED;
    }
    OpalDeviceRequestC query(pszWord, RF_QUERY, DEFAULT_TIMEOUT_MS);
    NumberResponseParamC profile;
    query.addResponseParam(&profile);
    const int32_t lResult = exchange(query);
    if (lResult == CFG_OK) {
        rProfile = static_cast<ConnectionProfileT>(profile.getValue());
    }
    return lResult;
}

int32_t OpalDeviceControllerImplC::getDefaultClientProfile(ConnectionProfileT& rProfile) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::getDefaultClientProfile");
    return queryProfile("ADDCP", rProfile);
}

int32_t OpalDeviceControllerImplC::getDefaultServerProfile(ConnectionProfileT& rProfile) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::getDefaultServerProfile");
    return queryProfile("ADDSP", rProfile);
}

int32_t OpalDeviceControllerImplC::setDeviceName(char* pszName, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setDeviceName");
    if (!fitsLength(pszName, MAX_NAME_LEN) || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGLN", {quoted(pszName), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::setServiceName(ConnectionProfileT eProfile, const char* pszName,
                                                  bool bResetAfter) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setServiceName");
    if (!fitsLength(pszName, MAX_NAME_LEN) || !isConnected()) {
        return CFG_FAILED;
    }
    const int32_t lResult = sendSetting("ADWSN", {number(eProfile), quoted(pszName), byte(1)});
    return lResult == CFG_OK && bResetAfter ? resetModule() : lResult;
}

int32_t OpalDeviceControllerImplC::setClassOfDevice(unsigned long ulClassOfDevice,
                                                    bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setClassOfDevice");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGLC", {number(static_cast<int32_t>(ulClassOfDevice)), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureConnectabilityMode(ConnectabilityModeT eMode,
                                                               bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureConnectabilityMode");
    if (eMode == 0 || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGCM", {number(eMode), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureDiscoverabilityMode(DiscoverabilityModeT eMode,
                                                                bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureDiscoverabilityMode");
    if (eMode == 0 || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGDM", {number(eMode), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureWirelessMultidrop(bool bEnable, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureWirelessMultidrop");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("ADWM", {byte(bEnable), byte(0), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureDefaultClientProfile(ConnectionProfileT eProfile,
                                                                 bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureDefaultClientProfile");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("ADDCP", {number(eProfile), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureDefaultServerProfile(ConnectionProfileT eProfile,
                                                                 bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureDefaultServerProfile");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("ADDSP", {number(eProfile), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureNoRemotePeers(unsigned char unCount, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::configureNoRemotePeers");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("ADNRP", {byte(unCount), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureFeatureMask(unsigned char unMask, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::configureFeatureMask");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AMWFM", {byte(1), byte(unMask), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureDtrDsrSettings(DtrSettingT eDtr, DsrSettingT eDsr,
                                                           bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerC::configureDtrDsrSettings");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AMDS", {number(eDtr), number(eDsr), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configurePowerSaveMode(PowerSaveModeT eMode, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerC::configurePowerSaveMode");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AMPM", {number(eMode), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureSecurityMode(SecurityModeT eMode, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerC::configureSecurityMode");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGSM", {number(eMode), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::setFixedPin(const char* pszPin, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerC::setFixedPin");
    // A PIN too long for the command line leaves the request incomplete, and request refuses it.
    if (pszPin == nullptr || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGFP", {quoted(pszPin), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::configureSSID(const char* pszSsid, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::configureSSID");
    if (!fitsLength(pszSsid, MAX_SSID_LEN) || !isConnected()) {
        return CFG_FAILED;
    }
    return sendSetting("AGSSID", {quoted(pszSsid), byte(bPersistent)});
}

int32_t OpalDeviceControllerImplC::getRS232Settings(RS232SettingsS& rSettings) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::getRS232Settings");
    OpalDeviceRequestC query("AMRS", RF_QUERY, DEFAULT_TIMEOUT_MS);
    NumberResponseParamC fields[RS232_FIELD_COUNT];
    for (NumberResponseParamC& rField : fields) {
        query.addResponseParam(&rField);
    }
    const int32_t lResult = exchange(query);
    for (const NumberResponseParamC& rField : fields) {
        if (!rField.isValid()) {
            return CFG_FAILED;
        }
    }
    int32_t* const aplTargets[RS232_FIELD_COUNT] = {&rSettings.m_lBaudRate, &rSettings.m_lDataBits,
                                                    &rSettings.m_lStopBits, &rSettings.m_lParity,
                                                    &rSettings.m_lFlowControl};
    for (int i = 0; i < RS232_FIELD_COUNT; ++i) {
        *aplTargets[i] = static_cast<int32_t>(fields[i].getValue());
    }
    return lResult;
}

int32_t OpalDeviceControllerImplC::setRS232Settings(RS232SettingsS settings, bool bApplyNow,
                                                    bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setRS232Settings");
    const int32_t lResult =
        sendSetting("AMRS", {number(settings.m_lBaudRate), number(settings.m_lDataBits),
                             number(settings.m_lStopBits), number(settings.m_lParity),
                             number(settings.m_lFlowControl), byte(bApplyNow), byte(bPersistent)});
    if (lResult == CFG_OK && bApplyNow) {
        // The module runs at the new settings from its "OK" on; the PC port follows at once.
        m_pPort->SetRs232Settings(settings.m_lBaudRate, settings.m_lDataBits, settings.m_lStopBits,
                                  settings.m_lParity, settings.m_lFlowControl, settings.m_bDtrDsr);
    }
    return lResult;
}

template <typename ChangeT>
int32_t OpalDeviceControllerImplC::changeModuleLine(ChangeT change, bool bApplyNow,
                                                    bool bPersistent) {
    RS232SettingsS settings;
    // The DTR flag is the PC port's own and is never read from the module: keep the one in
    // force, so that changing the rate with apply-now does not switch the DTR line as well.
    RS232SettingsS portSettings;
    m_pPort->GetRs232Settings(portSettings);
    settings.m_bDtrDsr = portSettings.m_bDtrDsr;
    if (const int32_t lResult = getRS232Settings(settings); lResult != CFG_OK) {
        return lResult;
    }
    change(settings);
    return setRS232Settings(settings, bApplyNow, bPersistent);
}

int32_t OpalDeviceControllerImplC::setBaudRate(unsigned long ulBaudRate, bool bApplyNow,
                                               bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::setBaudRate(uint32_t ulBaudRate, bool "
                          "bPersistent)");
    const int32_t lCode = PRT::SerialPortC::baudCodeOfRate(static_cast<uint32_t>(ulBaudRate));
    if (!isConnected() || lCode == 0 || ulBaudRate > UINT32_MAX) {
        return CFG_FAILED;
    }
    return changeModuleLine([lCode](RS232SettingsS& rSettings) { rSettings.m_lBaudRate = lCode; },
                            bApplyNow, bPersistent);
}

int32_t OpalDeviceControllerImplC::setFlowControl(bool bRtsCts, bool bApplyNow, bool bPersistent) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setFlowControl");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    const int32_t lCode = bRtsCts ? FLOW_RTS_CTS : FLOW_NONE;
    return changeModuleLine(
        [lCode](RS232SettingsS& rSettings) { rSettings.m_lFlowControl = lCode; }, bApplyNow,
        bPersistent);
}

int32_t OpalDeviceControllerImplC::writeIoPin(IoPinT ePin, PinValueT eValue) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::writeIoPin");
    // The module's answer decides: a pin it refused with "ERROR" was not written.
    return sendSetting("AMWIO",
                       {byte(static_cast<uint8_t>(ePin)), byte(static_cast<uint8_t>(eValue))});
}

int32_t OpalDeviceControllerImplC::resetModule() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::resetModule");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    // The module restarts on this command and may go before its "OK" is out: no answer counts,
    // but a command that never went out (no ping answer) is a failure.
    OpalDeviceRequestC reset("AMWS", RF_SET, DEFAULT_TIMEOUT_MS);
    appendParams(reset, {byte(0), byte(0), byte(0), byte(0), byte(1), byte(0)});
    return wasSent(request(reset)) ? CFG_OK : CFG_FAILED;
}

int32_t OpalDeviceControllerImplC::restoreFactoryDefaults() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::restoreFactoryDefaults");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    FactorySettingsRequestC defaults;
    if (!wasSent(request(defaults))) {
        return CFG_FAILED;
    }
    // The module may already have restarted on its own; the defaults are in place either way.
    resetModule();
    return CFG_OK;
}

int32_t OpalDeviceControllerImplC::transparentCommand(const char* pszCommand, char* pszAnswer) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::transparentCommand");
    if (!fitsLength(pszCommand, MAX_TRANSPARENT_LEN) || pszAnswer == nullptr) {
        return CFG_FAILED;
    }
    TransparentRequestC command(pszCommand);
    request(command);
    if (command.getResult() != CFG_OK) {
        return CFG_FAILED;
    }
    copyCut(pszAnswer, command.getResponse(), ANSWER_COPY_LEN);
    return CFG_OK;
}

} // namespace ORC::CFG
