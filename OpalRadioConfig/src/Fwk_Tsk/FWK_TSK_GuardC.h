#pragma once

#include "Fwk_Tsk/FWK_TSK_LockC.h"

#include <boost/noncopyable.hpp>

namespace FWK::TSK {

// Holds a lock for exactly one scope, also when the scope is left by an exception.
class GuardC : private boost::noncopyable {
public:
    explicit GuardC(LockC& rLock) : m_pLock(&rLock) { m_pLock->lock(); }
    virtual ~GuardC() { m_pLock->unlock(); }

private:
    LockC* m_pLock;
};

} // namespace FWK::TSK
