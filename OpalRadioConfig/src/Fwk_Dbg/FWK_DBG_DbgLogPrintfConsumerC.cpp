#include "Fwk_Dbg/FWK_DBG_DbgLogPrintfConsumerC.h"

#include "Fwk_Tsk/FWK_TSK_GuardC.h"

#include <cstdio>

namespace FWK::DBG {

void DbgLogPrintfConsumerC::logWrite(const char* pszRecord) {
    TSK::GuardC guard(m_lock);
    std::fputs(pszRecord, stdout);
    std::fflush(stdout);
}

} // namespace FWK::DBG
