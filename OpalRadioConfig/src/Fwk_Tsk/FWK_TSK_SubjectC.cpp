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
    for (ObserverC* pObserver : m_observers) {
        pObserver->clearSubject();
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
        bool bBecameEmpty = false;
        pGroup->remove(pObserver, bBecameEmpty);
        if (bBecameEmpty && m_observers.erase(pGroup) != 0) {
            delete pGroup;
        }
    } else {
        m_observers.erase(pObserver);
    }
    pObserver->clearSubject();
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
