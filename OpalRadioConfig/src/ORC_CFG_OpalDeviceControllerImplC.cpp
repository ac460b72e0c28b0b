#include "ORC_CFG_OpalDeviceControllerImplC.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "ORC_CFG_ControllerLog.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_PingRequestC.h"
#include "ORC_CFG_RequestLog.h"
#include "ORC_CFG_TransparentRequestC.h"
#include "ORC_PRT_SerialPortC.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace ORC::CFG {

namespace {
using FWK::DBG::endLine;
using FWK::DBG::PerformanceLogC;
using FWK::TSK::GuardC;

constexpr uint32_t PING_TIMEOUT_MS = 200;
constexpr uint32_t DATA_MODE_TIMEOUT_MS = 100;
// The module takes "///" for the escape only when the line is silent this long before and after.
constexpr std::chrono::milliseconds ESCAPE_GUARD_TIME{1100};
constexpr const char* ESCAPE_SEQUENCE = "///";
constexpr int DATA_MODE_ATTEMPTS = 2;
} // namespace

OpalDeviceControllerImplC::OpalDeviceControllerImplC() = default;

OpalDeviceControllerImplC::~OpalDeviceControllerImplC() = default;

int32_t OpalDeviceControllerImplC::setPort(PRT::SerialPortC* pPort) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::setPort");
    m_pPort = pPort;
    return CFG_OK;
}

int32_t OpalDeviceControllerImplC::changePortSettings(const RS232SettingsS& rSettings) {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::changePortSettings");
    if (m_pPort == nullptr) {
        return CFG_FAILED;
    }
    m_pPort->SetRs232Settings(rSettings.m_lBaudRate, rSettings.m_lDataBits, rSettings.m_lStopBits,
                              rSettings.m_lParity, rSettings.m_lFlowControl, rSettings.m_bDtrDsr);
    return CFG_OK;
}

int32_t OpalDeviceControllerImplC::openPort() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::openPort");
    return m_pPort != nullptr && m_pPort->Connect() ? CFG_OK : CFG_FAILED;
}

int32_t OpalDeviceControllerImplC::closePort() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::closePort");
    return m_pPort != nullptr && m_pPort->Disconnect() ? CFG_OK : CFG_FAILED;
}

bool OpalDeviceControllerImplC::isConnected() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::isConnected");
    return m_pPort != nullptr && m_pPort->IsConnected();
}

int32_t OpalDeviceControllerImplC::request(OpalDeviceRequestC& rRequest) {
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::request");
    if (controllerLoggable().isEnabled(FWK::DBG::DBG_ALL)) {
        trace << "command: " << shownLineEnds(rRequest.getName()) << endLine;
    }
    GuardC guard(m_lock);
    if (!rRequest.isComplete() || !isConnected()) {
        return CFG_FAILED;
    }
    GuardC requestGuard(m_pPort->getRequestLock());
    // Anything but the ping itself goes out only to a module that is known to be listening for
    // commands; in data mode the text would be sent on over the radio link.
    if (!rRequest.isRawForm() && !isCommandMode()) {
        return CFG_FAILED;
    }
    trace << "handling request " << rRequest.getName() << endLine;
    // Connected before the write: the answer may come back before Write returns.
    m_pPort->ConnectReadConsumer(&rRequest);
    const char* const pszCommand = rRequest.getCommand();
    int32_t lResult = CFG_TIMEOUT;
    if (m_pPort->Write(pszCommand, static_cast<uint32_t>(std::strlen(pszCommand)))) {
        lResult = rRequest.wait(answerTimeout(rRequest));
    }
    m_pPort->ConnectReadConsumer(nullptr);
    trace << "wait returned: " << std::hex << lResult
          << ", request return code: " << rRequest.getResult() << std::dec << endLine;
    if (lResult != CFG_OK) {
        m_pPort->FlushBuffers(PRT::SerialPortC::PURGE_TXCLEAR);
    }
    return lResult;
}

// The request's time-out is the module's answer time on a local line; over a network the answer
// also has to travel the link both ways. Every exchange waits here, so this is the one place
// the link is accounted for.
uint32_t OpalDeviceControllerImplC::answerTimeout(const OpalDeviceRequestC& rRequest) const {
    return rRequest.getTimeout() + m_pPort->FarEndAllowanceMs();
}

bool OpalDeviceControllerImplC::isCommandMode() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::isCommandMode");
    if (!isConnected()) {
        return false;
    }
    PingRequestC ping(PING_TIMEOUT_MS);
    return request(ping) == CFG_OK;
}

int32_t OpalDeviceControllerImplC::switchToCommandMode() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::switchToCommandMode");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    if (isCommandMode()) {
        return CFG_OK;
    }
    std::this_thread::sleep_for(ESCAPE_GUARD_TIME);
    trace << "START write escape sequence" << endLine;
    const bool bWritten =
        m_pPort->Write(ESCAPE_SEQUENCE, static_cast<uint32_t>(std::strlen(ESCAPE_SEQUENCE)));
    trace << "END write escape sequence" << endLine;
    std::this_thread::sleep_for(ESCAPE_GUARD_TIME);
    return bWritten && isCommandMode() ? CFG_OK : CFG_FAILED;
}

int32_t OpalDeviceControllerImplC::switchToDataMode() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(), "OpalDeviceControllerImplC::switchToDataMode");
    if (!isConnected()) {
        return CFG_FAILED;
    }
    int32_t lResult = CFG_FAILED;
    for (int iAttempt = 0; iAttempt < DATA_MODE_ATTEMPTS && lResult != CFG_OK; ++iAttempt) {
        OpalDeviceRequestC dataMode("ADDM", RF_ACTION, DATA_MODE_TIMEOUT_MS);
        lResult = request(dataMode);
    }
    return lResult;
}

int32_t OpalDeviceControllerImplC::switchToProductionMode() {
    GuardC guard(m_lock);
    PerformanceLogC trace(&controllerLoggable(),
                          "OpalDeviceControllerImplC::switchToProductionMode");
    if (!isConnected() || !isCommandMode()) {
        return CFG_FAILED;
    }
    TransparentRequestC production("ATP");
    return request(production);
}

void OpalDeviceControllerImplC::copyCut(char* pszField, const std::string& rText, size_t unMax) {
    const size_t unLength = std::min(rText.size(), unMax);
    std::memcpy(pszField, rText.data(), unLength);
    pszField[unLength] = '\0';
}

int32_t OpalDeviceControllerImplC::exchange(OpalDeviceRequestC& rRequest) {
    const int32_t lResult = request(rRequest);
    return lResult != CFG_OK ? lResult : rRequest.getResult();
}

void OpalDeviceControllerImplC::appendParams(OpalDeviceRequestC& rRequest,
                                             std::initializer_list<CommandParamS> params) {
    for (const CommandParamS& rParam : params) {
        switch (rParam.eKind) {
        case CommandParamS::TEXT:
        case CommandParamS::QUOTED_TEXT:
            rRequest.appendString(rParam.pszText, rParam.eKind == CommandParamS::QUOTED_TEXT);
            break;
        case CommandParamS::NUMBER:
            rRequest.appendNumber(rParam.lValue);
            break;
        case CommandParamS::BYTE:
            rRequest.appendByte(static_cast<uint8_t>(rParam.lValue));
            break;
        }
    }
    rRequest.closeCommand();
}

int32_t OpalDeviceControllerImplC::sendSetting(const char* pszWord,
                                               std::initializer_list<CommandParamS> params,
                                               uint32_t ulTimeout) {
    OpalDeviceRequestC setting(pszWord, RF_SET, ulTimeout);
    appendParams(setting, params);
    return exchange(setting);
}

} // namespace ORC::CFG
