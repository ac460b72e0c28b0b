#include "Fwk_Err/FWK_ERR_ErrorBaseC.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace ERR {

namespace {
std::atomic<bool> g_bMessageTextEnabled{false};
}

void ErrorBaseC::setMessageTextEnabled(bool bEnabled) {
    g_bMessageTextEnabled.store(bEnabled);
}

bool ErrorBaseC::isMessageTextEnabled() {
    return g_bMessageTextEnabled.load();
}

ErrorBaseC::ErrorBaseC(int32_t lCode, const char* pszText) : m_lCode(lCode) {
    allocateBufferIfEnabled();
    appendText(pszText);
}

ErrorBaseC::ErrorBaseC(const ErrorBaseC& rOther) : std::exception(rOther), m_lCode(rOther.m_lCode) {
    allocateBufferIfEnabled();
    if (rOther.m_pszMessage != nullptr) {
        appendText(rOther.m_pszMessage);
    }
}

ErrorBaseC::~ErrorBaseC() {
    delete[] m_pszMessage;
    m_pszMessage = nullptr;
    m_lWritePos = MESSAGE_BUFFER_LEN;
}

void ErrorBaseC::allocateBufferIfEnabled() {
    if (!isMessageTextEnabled()) {
        return;
    }
    m_pszMessage = new char[MESSAGE_BUFFER_LEN];
    m_pszMessage[0] = '\0';
    m_lWritePos = 0;
}

const char* ErrorBaseC::what() const noexcept {
    return m_pszMessage != nullptr ? m_pszMessage : "";
}

void ErrorBaseC::appendText(const char* pszText) {
    if (m_pszMessage == nullptr || pszText == nullptr) {
        return;
    }
    std::snprintf(m_pszMessage + m_lWritePos, MESSAGE_BUFFER_LEN - m_lWritePos, "%s", pszText);
    m_pszMessage[MESSAGE_BUFFER_LEN - 1] = '\0';
    m_lWritePos = static_cast<int32_t>(std::strlen(m_pszMessage));
}

void ErrorBaseC::appendNumber(unsigned long ulNumber) {
    if (m_pszMessage == nullptr) {
        return;
    }
    std::snprintf(m_pszMessage + m_lWritePos, MESSAGE_BUFFER_LEN - m_lWritePos, "0x%08lx",
                  ulNumber);
    m_pszMessage[MESSAGE_BUFFER_LEN - 1] = '\0';
    m_lWritePos = static_cast<int32_t>(std::strlen(m_pszMessage));
}

} // namespace ERR
