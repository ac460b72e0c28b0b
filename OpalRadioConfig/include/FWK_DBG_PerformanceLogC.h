#pragma once

#include "FWK_DBG_PerformanceLoggableC.h"
#include "ORC_Export.h"

#include <cstdint>
#include <ios>
#include <memory>
#include <string>

namespace FWK::UTI {
class StringC;
}

namespace FWK::DBG {

// A scope trace. When its loggable is enabled at INFO, it writes "START <text>" when created and
// "<elapsed> ms <text>" when it goes out of scope, indented by the thread's nesting depth. Values
// streamed into it form FINE records, one per completed line:
//
//   void SerialPortC::ConfigureComPort() {
//       FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::ConfigureComPort");
//       trace << "baud rate: " << ulBaudRate << FWK::DBG::endLine;
//       ...
//   }
//
// The text is not copied: it must outlive the object. An object whose loggable is not enabled
// at INFO at construction stays inactive and costs one pointer test per streamed value.
class ORC_EXPORT PerformanceLogC {
public:
    PerformanceLogC(PerformanceLoggableC* pLoggable, const char* pszText, bool bBare = false);
    virtual ~PerformanceLogC();
    PerformanceLogC(const PerformanceLogC&) = delete;
    PerformanceLogC& operator=(const PerformanceLogC&) = delete;

    // Logs the buffered text as one record once it holds a line feed; else keeps it buffered.
    void flush();

    PerformanceLogC& operator<<(bool bValue);
    PerformanceLogC& operator<<(short sValue);
    PerformanceLogC& operator<<(unsigned short usValue);
    PerformanceLogC& operator<<(int iValue);
    PerformanceLogC& operator<<(unsigned int uiValue);
    PerformanceLogC& operator<<(long lValue);
    PerformanceLogC& operator<<(unsigned long ulValue);
    PerformanceLogC& operator<<(float fValue);
    PerformanceLogC& operator<<(double dValue);
    PerformanceLogC& operator<<(long double ldValue);
    PerformanceLogC& operator<<(const void* pValue);
    PerformanceLogC& operator<<(std::streambuf* pBuffer);
    PerformanceLogC& operator<<(char cValue);
    PerformanceLogC& operator<<(signed char cValue);
    PerformanceLogC& operator<<(unsigned char cValue);
    PerformanceLogC& operator<<(const char* pszText);
    PerformanceLogC& operator<<(const signed char* pszText);
    PerformanceLogC& operator<<(const unsigned char* pszText);
    PerformanceLogC& operator<<(const std::string& rText);
    PerformanceLogC& operator<<(const wchar_t* pszText);
    PerformanceLogC& operator<<(const UTI::StringC& rText);
    PerformanceLogC& operator<<(PerformanceLogC& (*pManipulator)(PerformanceLogC&));
    // Stream-format manipulators (std::hex, std::setw through their ios_base form, ...).
    PerformanceLogC& operator<<(std::ios_base& (*pManipulator)(std::ios_base&));

    // Inserts without the level check.
    void delegateOperator(const std::string& rText);
    void delegateOperator(const wchar_t* pszText);
    void delegateOperator(const UTI::StringC& rText);

    // Sets the field width for the next insertion, like std::setw.
    PerformanceLogC& width(std::streamsize width);

private:
    struct ActiveStateS;

    bool streamEnabled() const;
    template <typename T> PerformanceLogC& insert(const T& rValue);
    void logStart(unsigned long ulDepth);
    void logEnd(unsigned long ulDepth, const unsigned long& rulEndTick);

    std::unique_ptr<ActiveStateS> m_pState; // buffer and lock, only while active
    uint32_t m_ulStart = 0;
    PerformanceLoggableC* m_pLoggable = nullptr;
    const char* m_pszText = nullptr;
    bool m_bBare = false;
};

// Ends the current streamed line and flushes it.
ORC_EXPORT PerformanceLogC& endLine(PerformanceLogC& rLog);

} // namespace FWK::DBG
