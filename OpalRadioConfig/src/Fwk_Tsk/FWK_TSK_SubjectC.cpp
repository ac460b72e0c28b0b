#include "Fwk_Tsk/FWK_TSK_SubjectC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_GroupObserverI.h"
#include "Fwk_Tsk/FWK_TSK_GroupableObserverI.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Tsk/FWK_TSK_ObserverC.h"

namespace FWK::TSK {

namespace {
// Reports name the framework's module and line, so that error logs read the same on every
// platform the framework runs on.
constexpr const char* REPORT_MODULE = "Fwk_Tsk\\FWK_TSK_Msg";
} // namespace

SubjectC::~SubjectC() {
    GuardC guard(m_lock);
    // Members of a group point at this subject too; none may keep the pointer.
    for (const auto& [pMember, pGroup] : m_groupOf) {
        pMember->clearSubject(this);
    }
    m_groupOf.clear();
    for (ObserverC* pObserver : m_observers) {
        pObserver->clearSubject(this);
        delete dynamic_cast<GroupObserverI*>(pObserver);
    }
    m_observers.clear();
}

void SubjectC::attach(ObserverC* pObserver) {
    if (pObserver == nullptr) {
        ERR::assertReport("false", 0, 0, REPORT_MODULE, 875);
        return;
    }
    if ((m_ulSubjectPropertyFlags & SP_SynchronObserverAllowed) == 0 && pObserver->isSynchron()) {
        ERR::assertReport("(m_ulSubjectPropertyFlags & SP_SynchronObserverAllowed) > 0 || "
                          "!pObserver->isSynchron()",
                          0, 0, REPORT_MODULE, 879);
    }
    GuardC guard(m_lock);
    ObserverC* pMember = pObserver;
    if (auto* pGroupable = dynamic_cast<GroupableObserverI*>(pObserver)) {
        if (GroupObserverI* pGroup = pGroupable->group(this, true)) {
            pGroup->add(pObserver);
            m_groupOf[pObserver] = pGroup;
            pMember = pGroup;
        }
    }
    m_observers.insert(pMember);
    pObserver->setSubject(this);
}

void SubjectC::detach(ObserverC* pObserver) {
    if (pObserver == nullptr) {
        ERR::assertReport("false", 0, 0, REPORT_MODULE, 911);
        return;
    }
    GuardC guard(m_lock);
    auto* pGroupable = dynamic_cast<GroupableObserverI*>(pObserver);
    GroupObserverI* pGroup = pGroupable != nullptr ? pGroupable->group(this, false) : nullptr;
    if (pGroup != nullptr) {
        removeFromGroup(pObserver, pGroup);
    } else {
        m_observers.erase(pObserver);
    }
    // An observer that has since been attached to another subject stays attached there.
    pObserver->clearSubject(this);
}

void SubjectC::forget(ObserverC* pObserver) {
    GuardC guard(m_lock);
    if (const auto it = m_groupOf.find(pObserver); it != m_groupOf.end()) {
        removeFromGroup(pObserver, it->second);
    } else {
        m_observers.erase(pObserver);
    }
}

void SubjectC::removeFromGroup(ObserverC* pObserver, GroupObserverI* pGroup) {
    m_groupOf.erase(pObserver);
    bool bBecameEmpty = false;
    pGroup->remove(pObserver, bBecameEmpty);
    if (bBecameEmpty && m_observers.erase(pGroup) != 0) {
        delete pGroup;
    }
}

bool SubjectC::isAttached(const ObserverC* pObserver) {
    GuardC guard(m_lock);
    return m_observers.count(const_cast<ObserverC*>(pObserver)) != 0;
}

size_t SubjectC::attachedCount() {
    GuardC guard(m_lock);
    return m_observers.size();
}

} // namespace FWK::TSK
