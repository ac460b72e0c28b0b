#include "ORC_CFG_RequestLog.h"

#include "Fwk_Err/FWK_ERR_Report.h"

#include <cstring>

namespace ORC::CFG {

namespace {
FWK::DBG::PerformanceLoggableC s_loggable("OpalDeviceRequestC");

constexpr const char* ASSERT_SOURCE = "ORC_CFG_OpalRequest";
} // namespace

FWK::DBG::PerformanceLoggableC& requestLoggable() {
    return s_loggable;
}

void reportRequestAssertion(const char* pszExpression, int iLine) {
    ERR::assertReportExpression(pszExpression, ASSERT_SOURCE, iLine);
}

std::string shownLineEnds(const char* pszText, size_t unLength) {
    std::string strShown;
    strShown.reserve(unLength);
    for (size_t i = 0; i < unLength; ++i) {
        switch (pszText[i]) {
        case '\r':
            strShown += "<CR>";
            break;
        case '\n':
            strShown += "<LF>";
            break;
        default:
            strShown += pszText[i];
        }
    }
    return strShown;
}

std::string shownLineEnds(const char* pszText) {
    return pszText == nullptr ? std::string() : shownLineEnds(pszText, std::strlen(pszText));
}

} // namespace ORC::CFG
