#include "Fwk_Dbg/FWK_DBG_DbgLogOutputDebugStringConsumerC.h"

#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <cstdio>
#include <string>

namespace FWK::DBG {

void DbgLogOutputDebugStringConsumerC::logWrite(const char* pszRecord) {
    // Converted before the lock is taken: a failed conversion reports an assertion, which is
    // itself logged and may come back to this consumer.
    char16_t szWide[WIDE_BUFFER_LEN];
    const bool bComplete = UTI::convertToWide(szWide, pszRecord, WIDE_BUFFER_LEN);
    std::string strOutput = UTI::toNarrow(szWide);
    if (!bComplete && !strOutput.empty() && strOutput.back() != '\n') {
        strOutput += '\n'; // a cut record still ends its line
    }
    TSK::GuardC guard(m_lock);
    std::fputs(strOutput.c_str(), stderr);
    std::fflush(stderr);
}

} // namespace FWK::DBG
