#include "Fwk_Tsk/FWK_TSK_ObserverC.h"

#include "Fwk_Err/FWK_ERR_Report.h"

namespace FWK::TSK {

void ObserverC::setSubject(SubjectC* pSubject) {
    SubjectC* pCurrent = m_pSubject.load();
    FWK_ASSERT(!pCurrent || pSubject == pCurrent);
    m_pSubject.store(pSubject);
}

} // namespace FWK::TSK
