#pragma once

#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"

#include <boost/noncopyable.hpp>
#include <cstdint>
#include <map>
#include <set>

namespace FWK::TSK {

class GroupObserverI;
class ObserverC;

// Keeps the set of observers attached to it; observers of a group are represented by their
// group observer, which the subject owns.
class SubjectC : private boost::noncopyable {
public:
    static constexpr uint32_t SP_SynchronObserverAllowed = 0x1;

    explicit SubjectC(uint32_t ulPropertyFlags = 0) : m_ulSubjectPropertyFlags(ulPropertyFlags) {}
    virtual ~SubjectC();

    virtual void attach(ObserverC* pObserver);
    virtual void detach(ObserverC* pObserver);

    bool isAttached(const ObserverC* pObserver);
    size_t attachedCount();

private:
    friend class ObserverC;

    // Called by an observer that is being destroyed while still attached. Its derived parts are
    // gone by then, so its group is found through the subject's own record.
    void forget(ObserverC* pObserver);
    void removeFromGroup(ObserverC* pObserver, GroupObserverI* pGroup);

    std::set<ObserverC*> m_observers;
    std::map<ObserverC*, GroupObserverI*> m_groupOf; // members attached through a group
    CriticalSectionC m_lock;
    uint32_t m_ulSubjectPropertyFlags;
};

} // namespace FWK::TSK
