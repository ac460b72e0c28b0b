#pragma once

#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "Fwk_Tsk/FWK_TSK_ReadLockC.h"
#include "Fwk_Tsk/FWK_TSK_WriteLockC.h"

#include <boost/noncopyable.hpp>
#include <cstdint>
#include <memory>

namespace FWK::TSK {

// Shared/exclusive lock built from two binary semaphores. Readers are preferred: while one reader
// is inside, further readers enter without waiting for a queued writer. The writer gate has no
// owner, so the last reader out releases it whichever thread took it.
// Throws ERR::LockingExceptionC when a semaphore cannot be created.
class ReaderWriterLockC : private boost::noncopyable {
public:
    ReaderWriterLockC();
    virtual ~ReaderWriterLockC();

    LockC& readLock() { return m_readLock; }
    LockC& writeLock() { return m_writeLock; }

protected:
    friend class ReadLockC;
    friend class WriteLockC;

    std::unique_ptr<BinarySemaphoreC> m_pCountGuard;
    std::unique_ptr<BinarySemaphoreC> m_pWriterGate;
    int32_t m_lReaderCount = 0;

private:
    ReadLockC m_readLock;
    WriteLockC m_writeLock;
};

} // namespace FWK::TSK
