#pragma once

#include "Fwk_Tsk/FWK_TSK_LockC.h"

#include <boost/noncopyable.hpp>
#include <mutex>

namespace FWK::TSK {

// Recursive mutual exclusion: the owner may lock again and must unlock as often as it locked.
class CriticalSectionC : public LockC, private boost::noncopyable {
public:
    CriticalSectionC() = default;
    ~CriticalSectionC() override = default;

    void lock() override;
    void unlock() override;

private:
    std::recursive_mutex m_mutex;
};

} // namespace FWK::TSK
