#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"

namespace FWK::TSK {

void CriticalSectionC::lock() {
    m_mutex.lock();
}

void CriticalSectionC::unlock() {
    m_mutex.unlock();
}

} // namespace FWK::TSK
