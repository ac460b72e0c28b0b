#include "Fwk_Tsk/FWK_TSK_ObserverC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_SubjectC.h"

namespace FWK::TSK {

ObserverC::~ObserverC() {
    if (SubjectC* pSubject = m_pSubject.load()) {
        pSubject->forget(this);
    }
}

void ObserverC::setSubject(SubjectC* pSubject) {
    SubjectC* pCurrent = m_pSubject.load();
    if (pCurrent != nullptr && pSubject != pCurrent) {
        ERR::assertReport("!m_pSubject || pSubject == m_pSubject", 0, 0, "Fwk_Tsk\\FWK_TSK_Msg",
                          1040);
    }
    m_pSubject.store(pSubject);
}

} // namespace FWK::TSK
