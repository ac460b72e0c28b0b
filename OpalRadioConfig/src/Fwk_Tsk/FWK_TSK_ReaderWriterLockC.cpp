#include "Fwk_Tsk/FWK_TSK_ReaderWriterLockC.h"

#include "Fwk_Err/FWK_ERR_LockingExceptionC.h"

namespace FWK::TSK {

namespace {
std::unique_ptr<BinarySemaphoreC> createFreeSemaphore() {
    auto pSemaphore = std::make_unique<BinarySemaphoreC>(true);
    if (!pSemaphore->isValid()) {
        pSemaphore.reset();
    }
    return pSemaphore;
}
} // namespace

ReaderWriterLockC::ReaderWriterLockC()
    : m_pCountGuard(createFreeSemaphore()), m_pWriterGate(createFreeSemaphore()), m_readLock(*this),
      m_writeLock(*this) {
    if (!m_pCountGuard || !m_pWriterGate) {
        // The members close whatever was created when the exception leaves the constructor.
        throw ERR::LockingExceptionC(ERR::LockingExceptionC::LOCK_CREATION_FAILED);
    }
}

ReaderWriterLockC::~ReaderWriterLockC() = default;

} // namespace FWK::TSK
