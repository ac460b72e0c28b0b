#include "ORC_CFG_DeviceInquiryRequestC.h"

#include "ORC_CFG_RequestLog.h"
#include "ORC_CFG_Types.h"

#include <cstring>
#include <string_view>

namespace ORC::CFG {

namespace {
constexpr std::string_view FINAL_OK = "\r\nOK\r\n";
constexpr std::string_view ERROR_ANSWER = "\r\nERROR\r\n";
constexpr std::string_view LINE_END = "\r\n";
} // namespace

DeviceInquiryRequestC::DeviceInquiryRequestC(const char* pszWord, uint8_t unInquiryLength,
                                             InquiryTypeT unInquiryType, uint8_t unMaxDevices,
                                             uint32_t ulTimeout)
    : OpalDeviceRequestC(pszWord, RF_SET, ulTimeout), m_unInquiryType(unInquiryType),
      m_unMaxDevices(unMaxDevices), m_bResultsReady(false) {
    if (m_unMaxDevices == 0) {
        reportRequestAssertion("m_unMaxDevices > 0", __LINE__);
    }
    if (m_unInquiryType <= IT_INVALID) {
        reportRequestAssertion("m_unInquiryType > IT_INVALID", __LINE__);
    }
    appendByte(unInquiryType);
    appendByte(unInquiryLength);
    appendByte(unMaxDevices);
    closeCommand();
}

DeviceInquiryRequestC::~DeviceInquiryRequestC() = default;

OpalDeviceRequestC* DeviceInquiryRequestC::getSiblingRequest() {
    if (!m_pSibling && m_unMaxDevices > 0) {
        m_pSibling = std::make_unique<InquiryResultRequestC>(
            m_unInquiryType, static_cast<uint8_t>(m_unMaxDevices - 1));
    }
    return m_pSibling.get();
}

void DeviceInquiryRequestC::setHandled(bool bHandled) {
    forceHandled(bHandled);
    if (m_bResultsReady && m_lResult != CFG_TIMEOUT) {
        signal();
    }
}

void DeviceInquiryRequestC::procReadData(const char* pData, uint32_t ulLength) {
    if (getSiblingRequest() == nullptr) {
        reportRequestAssertion("0 != getSiblingRequest()", __LINE__);
    }
    if (isHandled()) {
        // The answer is complete; whatever follows is no part of it.
        return;
    }
    append(pData, ulLength);
    const std::string_view collected(m_pszResponse, m_unFillCount);
    const size_t unFinal = collected.find(FINAL_OK);
    if (unFinal == std::string_view::npos || unFinal + FINAL_OK.size() != collected.size()) {
        if (collected.find(ERROR_ANSWER) != std::string_view::npos) {
            // Refused: there are no results to wait for, so the caller is woken at once.
            m_lResult = CFG_FAILED;
            m_bResultsReady = true;
            setHandled(true);
        }
        return;
    }
    const std::string_view command(getCommand());
    if (collected.substr(0, command.size()) == command) {
        consume(static_cast<uint32_t>(command.size()));
    }
    if (std::string_view(m_pszResponse, m_unFillCount).substr(0, LINE_END.size()) == LINE_END) {
        consume(static_cast<uint32_t>(LINE_END.size()));
    }
    m_lResult = CFG_OK;
    m_bResultsReady = false;
    setHandled(true);
    handOverResults(m_pszResponse, m_unFillCount);
    m_bResultsReady = true;
    setHandled(true);
}

void DeviceInquiryRequestC::handOverResults(const char* pData, uint32_t ulLength) {
    // Handled already, the common processing passes every byte on to the first member.
    OpalDeviceProcC::procReadData(pData, ulLength);
}

} // namespace ORC::CFG
