#include "Fwk_Tsk/FWK_TSK_WriteLockC.h"

#include "Fwk_Tsk/FWK_TSK_ReaderWriterLockC.h"

namespace FWK::TSK {

void WriteLockC::lock() {
    m_pOwner->m_pWriterGate->wait();
}

void WriteLockC::unlock() {
    m_pOwner->m_pWriterGate->release();
}

} // namespace FWK::TSK
