#include "FWK_DBG_PerformanceLogC.h"

#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Dbg/FWK_DBG_PerformanceTick.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Uti/FWK_UTI_StringC.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <sstream>

namespace FWK::DBG {

struct PerformanceLogC::ActiveStateS {
    std::ostringstream buffer;
    TSK::CriticalSectionC lock;
};

namespace {

std::string indentation(unsigned long ulDepth) {
    return std::string(ulDepth * 2, ' ');
}

std::u16string toUtf16(const wchar_t* pszText) {
    std::u16string strWide;
    for (const wchar_t* p = pszText; *p != L'\0'; ++p) {
        const auto ulCode = static_cast<uint32_t>(*p);
        if (ulCode > 0xFFFF) {
            strWide += static_cast<char16_t>(0xD800 + ((ulCode - 0x10000) >> 10));
            strWide += static_cast<char16_t>(0xDC00 + ((ulCode - 0x10000) & 0x3FF));
        } else {
            strWide += static_cast<char16_t>(ulCode);
        }
    }
    return strWide;
}

} // namespace

PerformanceLogC::PerformanceLogC(PerformanceLoggableC* pLoggable, const char* pszText, bool bBare) {
    if (pLoggable == nullptr || !pLoggable->isEnabled(DBG_INFO)) {
        return;
    }
    m_pState = std::make_unique<ActiveStateS>();
    m_pLoggable = pLoggable;
    m_pszText = pszText != nullptr ? pszText : "";
    m_bBare = bBare;
    logStart(pLoggable->get());
    pLoggable->inc();
    m_ulStart = performanceTick();
}

PerformanceLogC::~PerformanceLogC() {
    if (m_pLoggable == nullptr) {
        return;
    }
    const unsigned long ulEndTick = performanceTick();
    // The depth goes back down even when the end line is no longer wanted, so that later
    // traces of this thread keep their indentation.
    m_pLoggable->dec();
    if (m_pLoggable->isEnabled(DBG_INFO)) {
        logEnd(m_pLoggable->get(), ulEndTick);
    }
}

void PerformanceLogC::logStart(unsigned long ulDepth) {
    TSK::GuardC guard(m_pState->lock);
    if (m_bBare) {
        return;
    }
    if (ulDepth > 0) {
        logPrintf(*m_pLoggable, DBG_INFO, "%sSTART %s\n", indentation(ulDepth).c_str(), m_pszText);
    } else {
        logPrintf(*m_pLoggable, DBG_INFO, "START %s\n", m_pszText);
    }
}

void PerformanceLogC::logEnd(unsigned long ulDepth, const unsigned long& rulEndTick) {
    TSK::GuardC guard(m_pState->lock);
    // Unsigned 32-bit difference: right across the wrap of the tick counter.
    const uint32_t ulElapsed = static_cast<uint32_t>(rulEndTick) - m_ulStart;
    const double dElapsed = ulElapsed;
    if (m_bBare) {
        logPrintf(*m_pLoggable, DBG_INFO, "%.3f\n", dElapsed);
    } else if (ulDepth > 0) {
        logPrintf(*m_pLoggable, DBG_INFO, "%s%.3f ms %s\n", indentation(ulDepth).c_str(), dElapsed,
                  m_pszText);
    } else {
        logPrintf(*m_pLoggable, DBG_INFO, "%.3f ms %s\n", dElapsed, m_pszText);
    }
}

void PerformanceLogC::flush() {
    if (m_pState == nullptr) {
        return;
    }
    TSK::GuardC guard(m_pState->lock);
    const std::string strText = m_pState->buffer.str();
    if (strText.find('\n') == std::string::npos) {
        return;
    }
    const unsigned long ulDepth = m_pLoggable->get();
    if (ulDepth > 0) {
        logPrintf(*m_pLoggable, DBG_FINE, "%s%s", indentation(ulDepth).c_str(), strText.c_str());
    } else {
        logPrintf(*m_pLoggable, DBG_FINE, "%s", strText.c_str());
    }
    m_pState->buffer.str(std::string());
    m_pState->buffer.clear();
}

bool PerformanceLogC::streamEnabled() const {
    return m_pLoggable != nullptr && m_pLoggable->isEnabled(DBG_FINE);
}

template <typename T> PerformanceLogC& PerformanceLogC::insert(const T& rValue) {
    if (streamEnabled()) {
        TSK::GuardC guard(m_pState->lock);
        m_pState->buffer << rValue;
        // A value that cannot be inserted (an empty stream buffer) is left out. Kept in the
        // error state, the buffer would refuse the rest of the line and its line feed, and
        // with no line feed no flush would ever log or clear it again.
        m_pState->buffer.clear();
    }
    return *this;
}

PerformanceLogC& PerformanceLogC::operator<<(bool bValue) {
    return insert(bValue);
}
PerformanceLogC& PerformanceLogC::operator<<(short sValue) {
    return insert(sValue);
}
PerformanceLogC& PerformanceLogC::operator<<(unsigned short usValue) {
    return insert(usValue);
}
PerformanceLogC& PerformanceLogC::operator<<(int iValue) {
    return insert(iValue);
}
PerformanceLogC& PerformanceLogC::operator<<(unsigned int uiValue) {
    return insert(uiValue);
}
PerformanceLogC& PerformanceLogC::operator<<(long lValue) {
    return insert(lValue);
}
PerformanceLogC& PerformanceLogC::operator<<(unsigned long ulValue) {
    return insert(ulValue);
}
PerformanceLogC& PerformanceLogC::operator<<(float fValue) {
    return insert(fValue);
}
PerformanceLogC& PerformanceLogC::operator<<(double dValue) {
    return insert(dValue);
}
PerformanceLogC& PerformanceLogC::operator<<(long double ldValue) {
    return insert(ldValue);
}
PerformanceLogC& PerformanceLogC::operator<<(const void* pValue) {
    return insert(pValue);
}
PerformanceLogC& PerformanceLogC::operator<<(char cValue) {
    return insert(cValue);
}
PerformanceLogC& PerformanceLogC::operator<<(signed char cValue) {
    return insert(cValue);
}
PerformanceLogC& PerformanceLogC::operator<<(unsigned char cValue) {
    return insert(cValue);
}

PerformanceLogC& PerformanceLogC::operator<<(std::streambuf* pBuffer) {
    if (pBuffer != nullptr) {
        insert(pBuffer);
    }
    return *this;
}

PerformanceLogC& PerformanceLogC::operator<<(const char* pszText) {
    return insert(pszText != nullptr ? pszText : "");
}

PerformanceLogC& PerformanceLogC::operator<<(const signed char* pszText) {
    return *this << reinterpret_cast<const char*>(pszText);
}

PerformanceLogC& PerformanceLogC::operator<<(const unsigned char* pszText) {
    return *this << reinterpret_cast<const char*>(pszText);
}

PerformanceLogC& PerformanceLogC::operator<<(const std::string& rText) {
    if (streamEnabled()) {
        delegateOperator(rText);
    }
    return *this;
}

PerformanceLogC& PerformanceLogC::operator<<(const wchar_t* pszText) {
    if (streamEnabled()) {
        delegateOperator(pszText);
    }
    return *this;
}

PerformanceLogC& PerformanceLogC::operator<<(const UTI::StringC& rText) {
    delegateOperator(rText);
    return *this;
}

PerformanceLogC& PerformanceLogC::operator<<(PerformanceLogC& (*pManipulator)(PerformanceLogC&)) {
    return streamEnabled() ? pManipulator(*this) : *this;
}

PerformanceLogC& PerformanceLogC::operator<<(std::ios_base& (*pManipulator)(std::ios_base&)) {
    if (streamEnabled()) {
        TSK::GuardC guard(m_pState->lock);
        pManipulator(m_pState->buffer);
    }
    return *this;
}

PerformanceLogC& PerformanceLogC::width(std::streamsize width) {
    if (streamEnabled()) {
        TSK::GuardC guard(m_pState->lock);
        m_pState->buffer.width(width);
    }
    return *this;
}

void PerformanceLogC::delegateOperator(const std::string& rText) {
    if (m_pState == nullptr) {
        return;
    }
    TSK::GuardC guard(m_pState->lock);
    m_pState->buffer.write(rText.data(), static_cast<std::streamsize>(rText.size()));
}

void PerformanceLogC::delegateOperator(const wchar_t* pszText) {
    if (m_pState != nullptr && pszText != nullptr) {
        delegateOperator(UTI::toNarrow(toUtf16(pszText)));
    }
}

void PerformanceLogC::delegateOperator(const UTI::StringC& rText) {
    if (streamEnabled()) {
        delegateOperator(UTI::toNarrow(rText.GetString()));
    }
}

PerformanceLogC& endLine(PerformanceLogC& rLog) {
    rLog.delegateOperator(std::string("\n"));
    rLog.flush();
    return rLog;
}

} // namespace FWK::DBG
