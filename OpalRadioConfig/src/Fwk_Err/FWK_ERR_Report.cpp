#include "Fwk_Err/FWK_ERR_Report.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"

#include <string>
#include <unistd.h>

namespace ERR {

namespace {

FWK::DBG::DbgLogFileC* systemErrorLogger() {
    FWK::DBG::DbgLogMgrC* pManager = FWK::DBG::DbgLogMgrC::instance();
    return pManager != nullptr ? pManager->systemErrorLogger() : nullptr;
}

std::string withLiteralPercentSigns(const char* pszText) {
    std::string strEscaped;
    for (const char* p = pszText; *p != '\0'; ++p) {
        strEscaped += *p;
        if (*p == '%') {
            strEscaped += '%';
        }
    }
    return strEscaped;
}

// The report formats are built at run time from the caller's text, so the format check of
// logPrintf cannot apply here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"

void logAssertion(const char* pszExpression, unsigned long ulDetail1, unsigned long ulDetail2,
                  const char* pszFile, int iLine) {
    FWK::DBG::DbgLogFileC* pLogger = systemErrorLogger();
    if (pLogger == nullptr) {
        return;
    }
    const std::string strFormat = std::string("<<ASSERT at %s(%d): ") + pszExpression + ">>\n";
    FWK::DBG::logPrintf(*pLogger, FWK::DBG::DBG_ERROR, strFormat.c_str(), pszFile, iLine, ulDetail1,
                        ulDetail2);
}

void logPanic(const char* pszFormat, long lType, unsigned long ulDetail1, unsigned long ulDetail2,
              const char* pszFile, int iLine) {
    FWK::DBG::DbgLogFileC* pLogger = systemErrorLogger();
    if (pLogger == nullptr) {
        return;
    }
    const std::string strFormat =
        std::string("<<PANIC at %s(%d): ") + pszFormat + " - type 0x%lx>>\n";
    FWK::DBG::logPrintf(*pLogger, FWK::DBG::DBG_FATAL, strFormat.c_str(), pszFile, iLine, ulDetail1,
                        ulDetail2, lType);
}

#pragma GCC diagnostic pop

} // namespace

int assertReport(const char* pszExpression, unsigned long ulDetail1, unsigned long ulDetail2,
                 const char* pszFile, int iLine) {
    const char* pszText = pszExpression != nullptr ? pszExpression : "";
    const char* pszSource = pszFile != nullptr ? pszFile : "";
    logAssertion(pszText, ulDetail1, ulDetail2, pszSource, iLine);
    if (PanicHandlerRegistryC* pRegistry = PanicHandlerRegistryC::instance()) {
        pRegistry->assertion(pszText, ulDetail1, ulDetail2, pszSource, iLine);
    }
    return 0;
}

int assertReportExpression(const char* pszExpression, const char* pszFile, int iLine) {
    return assertReport(withLiteralPercentSigns(pszExpression).c_str(), 0, 0, pszFile, iLine);
}

void panicReport(const char* pszFormat, long lType, unsigned long ulDetail1,
                 unsigned long ulDetail2, const char* pszFile, int iLine) {
    const char* pszText = pszFormat != nullptr ? pszFormat : "";
    const char* pszSource = pszFile != nullptr ? pszFile : "";
    logPanic(pszText, lType, ulDetail1, ulDetail2, pszSource, iLine);
    if (PanicHandlerRegistryC* pRegistry = PanicHandlerRegistryC::instance()) {
        pRegistry->panic(pszText, lType, ulDetail1, ulDetail2, pszSource, iLine);
    }
    // No destructor or exit handler may run: the process state is not trusted any more.
    _exit(255);
}

} // namespace ERR
