#include "ORC_CFG_OpalDeviceRequestC.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "ORC_CFG_RequestLog.h"
#include "ORC_CFG_Types.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace ORC::CFG {

namespace {
constexpr size_t MAX_WORD_LEN = OpalDeviceRequestC::NAME_LEN - 1;
// A transparent command keeps this much of its text as its name.
constexpr size_t TRANSPARENT_NAME_LEN = 5;

constexpr const char* FINAL_OK = "\r\nOK\r\n";
constexpr const char* LINE_END = "\r\n";

// Formats into a fixed field; false, leaving the field empty, when the text would not fit.
template <size_t N>
bool formatInto(char (&szField)[N], const char* pszFormat, const char* pszText) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int iLength = std::snprintf(szField, N, pszFormat, pszText);
#pragma GCC diagnostic pop
    if (iLength < 0 || static_cast<size_t>(iLength) >= N) {
        szField[0] = '\0';
        return false;
    }
    return true;
}
bool travelsInParameter(const char* pszText) {
    for (const char* p = pszText; *p != '\0'; ++p) {
        const auto unByte = static_cast<unsigned char>(*p);
        if (unByte == '"' || unByte < 0x20 || unByte == 0x7F) {
            return false;
        }
    }
    return true;
}
} // namespace

OpalDeviceRequestC::OpalDeviceRequestC(const char* pszWord, RequestFormT eForm, uint32_t ulTimeout)
    : OpalDeviceProcC(this), m_szCommand{}, m_szName{}, m_szResponsePrefix{}, m_eForm(eForm),
      m_bComplete(false), m_bHandled(false), m_ulTimeout(ulTimeout), m_bRefused(false) {
    if (eForm == RF_TRANSPARENT) {
        buildTransparent(pszWord);
    } else {
        buildFromWord(pszWord);
    }
}

OpalDeviceRequestC::~OpalDeviceRequestC() {
    m_vecParams.clear();
}

void OpalDeviceRequestC::buildTransparent(const char* pszText) {
    if (pszText == nullptr) {
        refuse("false", __LINE__);
        return;
    }
    std::strncpy(m_szName, pszText, TRANSPARENT_NAME_LEN);
    // Never used for these requests, so a long text may be cut here.
    std::snprintf(m_szResponsePrefix, PREFIX_LEN, "%s:", pszText);
    if (!formatInto(m_szCommand, "%s\r", pszText)) {
        refuse("!\"command text does not fit into the command line\"", __LINE__);
        return;
    }
    m_bComplete = true;
}

void OpalDeviceRequestC::buildFromWord(const char* pszWord) {
    if (pszWord == nullptr || std::strlen(pszWord) > MAX_WORD_LEN) {
        refuse("false", __LINE__);
        return;
    }
    std::strcpy(m_szName, pszWord);
    formatInto(m_szResponsePrefix, "*%s:", pszWord);
    switch (m_eForm) {
    case RF_RESPONSE_ONLY:
        break;
    case RF_PLAIN:
        m_bComplete = formatInto(m_szCommand, "%s\r", pszWord);
        break;
    case RF_QUERY:
        m_bComplete = formatInto(m_szCommand, "AT*%s?\r", pszWord);
        break;
    case RF_SET:
        formatInto(m_szCommand, "AT*%s=", pszWord);
        break;
    case RF_ACTION:
        m_bComplete = formatInto(m_szCommand, "AT*%s\r", pszWord);
        break;
    default:
        refuse("false", __LINE__);
        break;
    }
}

const char* OpalDeviceRequestC::getCommand() const {
    return m_szCommand;
}

const char* OpalDeviceRequestC::getName() const {
    return m_szName;
}

const char* OpalDeviceRequestC::getResponse() const {
    return m_szBuffer;
}

const char* OpalDeviceRequestC::getResponsePrefix() const {
    return m_szResponsePrefix[0] == '\0' ? nullptr : m_szResponsePrefix;
}

const char* OpalDeviceRequestC::getTerminator() const {
    return isIntermediate() ? LINE_END : FINAL_OK;
}

const std::vector<ResponseParamI*>& OpalDeviceRequestC::getResponseParams() const {
    return m_vecParams;
}

OpalDeviceRequestC* OpalDeviceRequestC::getSiblingRequest() {
    return nullptr;
}

bool OpalDeviceRequestC::isIntermediate() const {
    return false;
}

uint32_t OpalDeviceRequestC::getTimeout() const {
    return m_ulTimeout;
}

void OpalDeviceRequestC::setHandled(bool bHandled) {
    FWK::DBG::PerformanceLogC trace(&requestLoggable(), "OpalDeviceRequestC::setHandled");
    if (bHandled == m_bHandled) {
        return;
    }
    m_bHandled = bHandled;
    // An undecided request must not wake its caller: the caller's wait then reports success
    // for an answer that never came.
    if (m_lResult != CFG_TIMEOUT && isChainHandled()) {
        signal();
    }
}

bool OpalDeviceRequestC::isChainHandled() {
    OpalDeviceRequestC* pSibling = getSiblingRequest();
    if (pSibling == nullptr) {
        return m_bHandled;
    }
    return m_bHandled && pSibling->isChainHandled();
}

bool OpalDeviceRequestC::mayAppend(int iLine) {
    if (m_bRefused) {
        return false; // reported when it was refused
    }
    if (m_eForm != RF_SET || m_bComplete) {
        refuse("false", iLine);
        return false;
    }
    return true;
}

void OpalDeviceRequestC::appendString(const char* pszText, bool bQuoted) {
    if (!mayAppend(__LINE__)) {
        return;
    }
    if (pszText == nullptr) {
        refuse("false", __LINE__);
        return;
    }
    // The module has no escape: a quote would end the parameter early and a line end would
    // start a command of the text's own choosing.
    if (!travelsInParameter(pszText)) {
        refuse("!\"text holds a character that cannot travel in a parameter\"", __LINE__);
        return;
    }
    if (bQuoted) {
        appendParameter("\"%s\",", pszText);
    } else {
        appendParameter("%s,", pszText);
    }
}

void OpalDeviceRequestC::appendNumber(int32_t lValue) {
    if (mayAppend(__LINE__)) {
        appendParameter("%d,", lValue);
    }
}

void OpalDeviceRequestC::appendByte(uint8_t unValue) {
    if (mayAppend(__LINE__)) {
        appendParameter("%u,", static_cast<unsigned>(unValue));
    }
}

void OpalDeviceRequestC::appendParameter(const char* pszFormat, ...) {
    const size_t unUsed = std::strlen(m_szCommand);
    va_list args;
    va_start(args, pszFormat);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int iLength = std::vsnprintf(m_szCommand + unUsed, COMMAND_LEN - unUsed, pszFormat, args);
#pragma GCC diagnostic pop
    va_end(args);
    if (iLength < 0 || unUsed + static_cast<size_t>(iLength) >= COMMAND_LEN) {
        // A cut parameter would still close into a valid-looking command: take it back whole.
        m_szCommand[unUsed] = '\0';
        refuse("!\"parameter does not fit into the command line\"", __LINE__);
    }
}

void OpalDeviceRequestC::closeCommand() {
    if (m_bRefused) {
        return;
    }
    const size_t unLength = std::strlen(m_szCommand);
    if (m_eForm != RF_SET || m_bComplete || unLength == 0 || m_szCommand[unLength - 1] != ',') {
        refuse("false", __LINE__);
        return;
    }
    m_szCommand[unLength - 1] = '\r';
    m_bComplete = true;
}

void OpalDeviceRequestC::addResponseParam(ResponseParamI* pParam) {
    if (pParam == nullptr) {
        // Leaving it out would shift every later parameter onto the wrong part of the answer.
        refuse("0 != pParam", __LINE__);
        return;
    }
    m_vecParams.push_back(pParam);
}

void OpalDeviceRequestC::refuse(const char* pszExpression, int iLine) {
    m_bComplete = false;
    m_bRefused = true;
    reportRequestAssertion(pszExpression, iLine);
}

} // namespace ORC::CFG
