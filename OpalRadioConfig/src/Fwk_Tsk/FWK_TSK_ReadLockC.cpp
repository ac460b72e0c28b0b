#include "Fwk_Tsk/FWK_TSK_ReadLockC.h"

#include "Fwk_Tsk/FWK_TSK_ReaderWriterLockC.h"

namespace FWK::TSK {

void ReadLockC::lock() {
    m_pOwner->m_pCountGuard->wait();
    if (++m_pOwner->m_lReaderCount == 1) {
        // The first reader takes the gate for all readers; blocks while a writer holds it.
        m_pOwner->m_pWriterGate->wait();
    }
    m_pOwner->m_pCountGuard->release();
}

void ReadLockC::unlock() {
    m_pOwner->m_pCountGuard->wait();
    if (--m_pOwner->m_lReaderCount == 0) {
        m_pOwner->m_pWriterGate->release();
    }
    m_pOwner->m_pCountGuard->release();
}

} // namespace FWK::TSK
