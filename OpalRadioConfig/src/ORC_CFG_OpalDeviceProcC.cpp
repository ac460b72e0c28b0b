#include "ORC_CFG_OpalDeviceProcC.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_RequestLog.h"
#include "ORC_CFG_Types.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace ORC::CFG {

namespace {
using FWK::DBG::endLine;

constexpr std::string_view ERROR_ANSWER = "\r\nERROR\r\n";

bool dumpEnabled() {
    return requestLoggable().isEnabled(FWK::DBG::DBG_ALL);
}
} // namespace

OpalDeviceProcC::OpalDeviceProcC(OpalDeviceRequestC* pRequest)
    : m_pRequest(pRequest), m_lResult(CFG_TIMEOUT), m_unFillCount(0),
      m_pszResponse(m_szBuffer), m_szBuffer{} {}

OpalDeviceProcC::~OpalDeviceProcC() {
    m_pszResponse = nullptr;
    m_pRequest = nullptr;
}

bool OpalDeviceProcC::holdsInvariant() const {
    return m_pszResponse >= m_szBuffer &&
           (m_pszResponse - m_szBuffer) + m_unFillCount <= MAX_RESPONSE;
}

bool OpalDeviceProcC::hasRoomLeft() const {
    // Judged by the buffer's end rather than by the unconsumed count alone: after an echo was
    // consumed the count can no longer reach MAX_RESPONSE, and a full buffer would then wait for
    // an answer whose bytes are all dropped.
    return (m_pszResponse - m_szBuffer) + m_unFillCount < MAX_RESPONSE;
}

void OpalDeviceProcC::append(const char* pData, uint32_t ulLength) {
    if (!holdsInvariant()) {
        reportRequestAssertion("(m_szBuffer + MAX_RESPONSE) >= (m_pszResponse + m_unFillCount)",
                               __LINE__);
        return;
    }
    const size_t unEnd = (m_pszResponse - m_szBuffer) + m_unFillCount;
    const size_t unCpyLen = pData == nullptr ? 0 : std::min<size_t>(ulLength, MAX_RESPONSE - unEnd);
    if (unEnd + unCpyLen > MAX_RESPONSE) {
        reportRequestAssertion("m_pszResponse + unCpyLen <= (m_szBuffer + MAX_RESPONSE)", __LINE__);
        return;
    }
    // The rest of an answer may be handed back from this very buffer.
    std::memmove(m_szBuffer + unEnd, pData, unCpyLen);
    m_unFillCount = static_cast<uint16_t>(m_unFillCount + unCpyLen);
    m_pszResponse[m_unFillCount] = '\0';
}

void OpalDeviceProcC::consume(uint32_t unCount) {
    if (!holdsInvariant()) {
        reportRequestAssertion("(m_szBuffer + MAX_RESPONSE) >= (m_pszResponse + m_unFillCount)",
                               __LINE__);
        return;
    }
    if (unCount > m_unFillCount) {
        reportRequestAssertion("false", __LINE__);
        return;
    }
    m_pszResponse += unCount;
    m_unFillCount = static_cast<uint16_t>(m_unFillCount - unCount);
}

int32_t OpalDeviceProcC::find(const char* pszText, bool bQuoteAware) const {
    if (pszText == nullptr) {
        return -1;
    }
    // The collected bytes are searched by their count: line noise may hold NUL bytes.
    const std::string_view text(m_pszResponse, m_unFillCount);
    const std::string_view wanted(pszText);
    size_t unFrom = 0;
    for (;;) {
        const size_t unFound = text.find(wanted, unFrom);
        if (unFound == std::string_view::npos) {
            return -1;
        }
        if (!bQuoteAware) {
            return static_cast<int32_t>(unFound);
        }
        // Walk the quoted stretches before the occurrence; one that encloses it is skipped.
        size_t unOpen = text.find('"', unFrom);
        bool bInside = false;
        while (unOpen < unFound) {
            const size_t unClose = text.find('"', unOpen + 1);
            if (unClose == std::string_view::npos) {
                break; // an unclosed quote quotes nothing
            }
            if (unFound < unClose) {
                bInside = true;
                unFrom = unClose + 1;
                break;
            }
            unOpen = text.find('"', unClose + 1);
        }
        if (!bInside) {
            return static_cast<int32_t>(unFound);
        }
    }
}

int32_t OpalDeviceProcC::findResponse(int32_t& rlStart, int32_t& rlEnd) {
    FWK::DBG::PerformanceLogC trace(&requestLoggable(), "OpalDeviceProcC::findResponse");
    if (m_pRequest == nullptr) {
        reportRequestAssertion("0 != m_pRequest", __LINE__);
        return CFG_BAD_RESPONSE;
    }
    const char* pszPrefix = m_pRequest->getResponsePrefix();
    if (pszPrefix == nullptr) {
        return CFG_BAD_RESPONSE;
    }
    const int32_t lPrefix = find(pszPrefix, false);
    const int32_t lTerminator = find(m_pRequest->getTerminator(), false);
    const int32_t lStart = lPrefix + static_cast<int32_t>(std::strlen(pszPrefix));
    if (lPrefix < 0 || lTerminator < 0 || lStart >= lTerminator) {
        return CFG_BAD_RESPONSE;
    }
    rlStart = lStart;
    rlEnd = lTerminator;
    return CFG_OK;
}

void OpalDeviceProcC::procReadData(const char* pData, uint32_t ulLength) {
    FWK::DBG::PerformanceLogC trace(&requestLoggable(), "OpalDeviceProcC::procReadData");
    if (m_pRequest == nullptr) {
        reportRequestAssertion("0 != m_pRequest", __LINE__);
        return;
    }
    if (m_pRequest->isHandled()) {
        trace << "request already handled!" << endLine;
        forwardToSibling(trace, pData, ulLength);
        return;
    }
    append(pData, ulLength);
    dumpCollected(trace);
    removeEcho();

    if (find(m_pRequest->getTerminator(), false) >= 0) {
        m_lResult = CFG_OK;
        completeAnswer(trace);
    } else if (const int32_t lError = find(ERROR_ANSWER.data(), false); lError >= 0) {
        consume(static_cast<uint32_t>(lError) + ERROR_ANSWER.size());
        m_lResult = CFG_FAILED;
        m_pRequest->setHandled(true);
    } else if (hasRoomLeft()) {
        trace << "waiting for more data..." << endLine;
        return;
    } else {
        // Nothing more fits, so no final answer can arrive: the caller runs into its time-out.
        m_lResult = CFG_BAD_RESPONSE;
    }
    dumpRemaining(trace);
}

void OpalDeviceProcC::removeEcho() {
    const std::string_view command(m_pRequest->getCommand());
    if (std::string_view(m_pszResponse, m_unFillCount).starts_with(command)) {
        consume(static_cast<uint32_t>(command.size()));
    }
}

void OpalDeviceProcC::completeAnswer(FWK::DBG::PerformanceLogC& rTrace) {
    if (!m_pRequest->getResponseParams().empty()) {
        cutParameters(rTrace);
    }
    const char* pszTerminator = m_pRequest->getTerminator();
    if (const int32_t lTerminator = find(pszTerminator, false); lTerminator >= 0) {
        consume(static_cast<uint32_t>(lTerminator) +
                static_cast<uint32_t>(std::strlen(pszTerminator)));
    }
    m_pRequest->setHandled(true);
    if (m_unFillCount > 0 && !forwardToSibling(rTrace, m_pszResponse, m_unFillCount)) {
        // Handled by now, so this only drops the rest.
        OpalDeviceProcC::procReadData(m_pszResponse, m_unFillCount);
    }
}

void OpalDeviceProcC::cutParameters(FWK::DBG::PerformanceLogC& rTrace) {
    int32_t lStart = 0;
    int32_t lEnd = 0;
    const int32_t lFound = findResponse(lStart, lEnd);
    if (lFound != CFG_OK) {
        m_lResult = lFound;
        rTrace << "findResponse returned: " << std::hex << lFound << std::dec << endLine;
        return;
    }
    const char* const pEnd = m_pszResponse + lEnd;
    consume(static_cast<uint32_t>(lStart));

    const std::vector<ResponseParamI*>& rParams = m_pRequest->getResponseParams();
    size_t unCut = 0;
    while (unCut < rParams.size() && m_pszResponse <= pEnd) {
        ResponseParamI* pParam = rParams[unCut];
        const bool bLast = unCut + 1 == rParams.size();
        const bool bQuoteAware = dynamic_cast<BasicStringResponseParamC*>(pParam) != nullptr;
        const int32_t lLength = find(bLast ? m_pRequest->getTerminator() : ",", bQuoteAware);
        if (lLength < 0) {
            m_lResult = CFG_BAD_RESPONSE;
            break;
        }
        char szParam[MAX_RESPONSE + 1] = {};
        std::memcpy(szParam, m_pszResponse, static_cast<size_t>(lLength));
        // The comma goes with its parameter; the terminator stays for the completion.
        consume(static_cast<uint32_t>(lLength) + (bLast ? 0 : 1));
        pParam->parse(szParam);
        ++unCut;
    }
    if (unCut != rParams.size() || m_pszResponse != pEnd) {
        m_lResult = CFG_BAD_RESPONSE;
    }
}

bool OpalDeviceProcC::forwardToSibling(FWK::DBG::PerformanceLogC& rTrace, const char* pData,
                                       uint32_t ulLength) {
    OpalDeviceRequestC* pSibling = m_pRequest->getSiblingRequest();
    if (pSibling == nullptr) {
        return false;
    }
    rTrace << "forwarding to sibling!" << endLine;
    pSibling->procReadData(pData, ulLength);
    return true;
}

void OpalDeviceProcC::dumpCollected(FWK::DBG::PerformanceLogC& rTrace) {
    if (!dumpEnabled()) {
        return;
    }
    rTrace << "request: " << shownLineEnds(m_pRequest->getCommand()) << endLine;
    rTrace << "command: " << shownLineEnds(m_pRequest->getName()) << endLine;
    rTrace << "buffer: " << shownLineEnds(m_pszResponse, m_unFillCount) << endLine;
}

void OpalDeviceProcC::dumpRemaining(FWK::DBG::PerformanceLogC& rTrace) {
    if (!dumpEnabled()) {
        return;
    }
    rTrace << "remaining: " << shownLineEnds(m_pszResponse, m_unFillCount) << endLine;
    rTrace << "return code: " << std::hex << m_lResult << std::dec << endLine;
}

} // namespace ORC::CFG
