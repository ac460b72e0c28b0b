#pragma once

#include "Fwk_Tsk/FWK_TSK_LockC.h"

namespace FWK::TSK {

class ReaderWriterLockC;

// Shared side of a ReaderWriterLockC. Not re-entrant.
class ReadLockC : public LockC {
public:
    explicit ReadLockC(ReaderWriterLockC& rOwner) : m_pOwner(&rOwner) {}
    void lock() override;
    void unlock() override;

private:
    ReaderWriterLockC* m_pOwner;
};

} // namespace FWK::TSK
