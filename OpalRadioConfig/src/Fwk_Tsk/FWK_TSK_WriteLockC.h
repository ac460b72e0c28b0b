#pragma once

#include "Fwk_Tsk/FWK_TSK_LockC.h"

namespace FWK::TSK {

class ReaderWriterLockC;

// Exclusive side of a ReaderWriterLockC. Not re-entrant.
class WriteLockC : public LockC {
public:
    explicit WriteLockC(ReaderWriterLockC& rOwner) : m_pOwner(&rOwner) {}
    void lock() override;
    void unlock() override;

private:
    ReaderWriterLockC* m_pOwner;
};

} // namespace FWK::TSK
