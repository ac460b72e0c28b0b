#pragma once

#include <cstdint>
#include <type_traits>

// Assertion and panic reports. Both go through the "SystemErrorLogger" logger (a debug
// configuration rule decides where they appear) and to the host's panic handler, if any.
//
//   FWK_ASSERT(pNode != nullptr);                 logs "<<ASSERT at file(line): pNode != nullptr>>"
//   FWK_ASSERT(!"component pointer is null");     the !"description" form
//   FWK_ASSERT(false);                            a state the code rules out
//   FWK_PANIC("node in two lists? 0x%lx 0x%lx\r\n", this, pNode);   logs at FATAL, then _exit(255)
//
// Use ERR::assertReport / ERR::panicReport directly to name a report site of your own.

namespace ERR {

// The panic type of every framework panic.
constexpr long PANIC_TYPE_FRAMEWORK = 0x1200001;

// Logs "<<ASSERT at <file>(<line>): <expression>>>" at ERROR and returns 0. The expression text
// is part of the format and may consume the two details.
int assertReport(const char* pszExpression, unsigned long ulDetail1, unsigned long ulDetail2,
                 const char* pszFile, int iLine);

// As assertReport, for an expression text taken from source: percent signs in it are literal.
int assertReportExpression(const char* pszExpression, const char* pszFile, int iLine);

// Logs "<<PANIC at <file>(<line>): <format> - type 0x<type>>>" at FATAL (the format may show
// the two details), tells the panic handler, then ends the process with exit status 255 at once.
[[noreturn]] void panicReport(const char* pszFormat, long lType, unsigned long ulDetail1,
                              unsigned long ulDetail2, const char* pszFile, int iLine);

// The folder and file name of a source path ("Fwk_Tsk/FWK_TSK_ListC.cpp").
constexpr const char* sourceModule(const char* pszPath) {
    const char* pszFile = pszPath;
    const char* pszFolder = pszPath;
    for (const char* p = pszPath; *p != '\0'; ++p) {
        if (*p == '/') {
            pszFolder = pszFile;
            pszFile = p + 1;
        }
    }
    return pszFolder;
}

template <typename T> unsigned long toDetail(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<unsigned long>(value);
    } else {
        return static_cast<unsigned long>(value);
    }
}

} // namespace ERR

#define FWK_ASSERT(expr)                                                                           \
    do {                                                                                           \
        if (!(expr)) {                                                                             \
            ::ERR::assertReportExpression(#expr, ::ERR::sourceModule(__FILE__), __LINE__);         \
        }                                                                                          \
    } while (0)

#define FWK_PANIC(format, detail1, detail2)                                                        \
    ::ERR::panicReport((format), ::ERR::PANIC_TYPE_FRAMEWORK, ::ERR::toDetail(detail1),            \
                       ::ERR::toDetail(detail2), ::ERR::sourceModule(__FILE__), __LINE__)
