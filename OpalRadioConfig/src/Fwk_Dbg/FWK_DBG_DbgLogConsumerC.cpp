#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"

#include "Fwk_Tsk/FWK_TSK_GuardC.h"

namespace FWK::DBG {

void DbgLogConsumerC::setHeaderType(int32_t lHeaderType) {
    TSK::GuardC guard(m_lock);
    m_lHeaderType = lHeaderType;
}

int32_t DbgLogConsumerC::headerType() {
    TSK::GuardC guard(m_lock);
    return m_lHeaderType;
}

} // namespace FWK::DBG
