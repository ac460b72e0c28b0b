#include "Fwk_Tsk/FWK_TSK_SysComponentContainerC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_ComponentLogC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentVisitorI.h"
#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"

#include <algorithm>
#include <chrono>

namespace FWK::TSK {

namespace {
// Reports name the framework's module and line, so that error logs read the same on every
// platform the framework runs on.
constexpr const char* REPORT_MODULE = "Fwk_Tsk\\FWK_TSK_SysTask";
constexpr int LINE_USED_TIME = 1334;
constexpr SysComponentContainerC::AddReportLinesS ADD_LINES{1479, 1485};
constexpr SysComponentContainerC::AddReportLinesS INSERT_BEFORE_LINES{1505, 1511};
constexpr SysComponentContainerC::AddReportLinesS INSERT_AFTER_LINES{1531, 1537};

long elapsedMilliseconds(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

// Counts a walk in progress for as long as the scope lasts.
class TraversalT {
public:
    explicit TraversalT(std::atomic<int32_t>& rCount) : m_rCount(rCount) { ++m_rCount; }
    ~TraversalT() { --m_rCount; }
    TraversalT(const TraversalT&) = delete;
    TraversalT& operator=(const TraversalT&) = delete;

private:
    std::atomic<int32_t>& m_rCount;
};
} // namespace

SysComponentContainerC::SysComponentContainerC(bool bFollow)
    : SysComponentC(LEVEL_INIT_AND_START), m_bFollow(bFollow) {}

SysComponentContainerC::~SysComponentContainerC() {
    GuardC guard(m_lock);
    GuardC listGuard(m_components.writeLock());
    for (NodeC* p = m_components.first(); p != nullptr; p = m_components.next(p)) {
        static_cast<SysComponentC*>(p)->m_pContainer = nullptr;
    }
}

// Callers hold the container lock across the walk and their state change, so that a component
// added meanwhile sees the state that matches the steps it missed.
bool SysComponentContainerC::walk(const char* pszStep, DirectionT direction,
                                  const ComponentStepT& rStep) {
    GuardC guard(m_lock);
    ComponentLogC::stepBegin(pszStep, *this);
    bool bCompleted = true;
    {
        GuardC listGuard(m_components.readLock());
        TraversalT traversal(m_lTraversalCount);
        const bool bForward = direction == DirectionT::FirstToLast;
        for (SysComponentC* p = bForward ? first() : last(); p != nullptr;
             p = bForward ? next(p) : prev(p)) {
            ComponentLogC::stepComponent(pszStep, *p);
            if (!rStep(*p)) {
                bCompleted = false;
                break;
            }
        }
    }
    if (bCompleted) {
        ComponentLogC::stepEnd(pszStep, *this);
    }
    return bCompleted;
}

void SysComponentContainerC::init(long lArg) {
    GuardC guard(m_lock);
    walk("init", DirectionT::FirstToLast, [lArg](SysComponentC& rComponent) {
        if (rComponent.level() > LEVEL_NONE) {
            rComponent.init(lArg);
        }
        return true;
    });
    setState(STATE_INITIALISED);
}

void SysComponentContainerC::start(long lArg) {
    GuardC guard(m_lock);
    walk("start", DirectionT::FirstToLast, [lArg](SysComponentC& rComponent) {
        if (rComponent.level() > LEVEL_INIT) {
            rComponent.start(lArg);
        }
        return true;
    });
    setState(STATE_STARTED);
}

void SysComponentContainerC::stop(long lArg) {
    GuardC guard(m_lock);
    setState(STATE_INITIALISED);
    walk("stop", DirectionT::LastToFirst, [lArg](SysComponentC& rComponent) {
        rComponent.stop(lArg);
        return true;
    });
}

bool SysComponentContainerC::waitForStop(long lTimeout) {
    const bool bBudget = lTimeout != 0 && lTimeout != -1;
    const auto start = std::chrono::steady_clock::now();
    return walk("waitForStop", DirectionT::LastToFirst, [&](SysComponentC& rComponent) {
        long lGiven = lTimeout;
        if (bBudget) {
            const long lUsedTime = elapsedMilliseconds(start);
            if (lUsedTime < 0) {
                ERR::assertReport("ulUsedTime >= 0", 0, 0, REPORT_MODULE, LINE_USED_TIME);
            }
            lGiven = std::max(lTimeout - lUsedTime, 0L);
        }
        if (rComponent.waitForStop(lGiven)) {
            return true;
        }
        ComponentLogC::waitForStopTimeout(lTimeout, rComponent);
        return false;
    });
}

void SysComponentContainerC::kill(long lArg) {
    GuardC guard(m_lock);
    walk("kill", DirectionT::LastToFirst, [lArg](SysComponentC& rComponent) {
        rComponent.kill(lArg);
        return true;
    });
    setState(STATE_INITIALISED);
}

void SysComponentContainerC::cleanup(long lArg) {
    GuardC guard(m_lock);
    setState(STATE_CREATED);
    walk("cleanup", DirectionT::LastToFirst, [lArg](SysComponentC& rComponent) {
        rComponent.cleanup(lArg);
        return true;
    });
}

void SysComponentContainerC::accept(SysComponentVisitorI& rVisitor) {
    GuardC guard(m_lock);
    rVisitor.enter(this);
    {
        GuardC listGuard(m_components.readLock());
        TraversalT traversal(m_lTraversalCount);
        for (SysComponentC* p = first(); p != nullptr; p = next(p)) {
            p->accept(rVisitor);
        }
        // Still counted as walking: a visitor that adds on leaving is refused like one that
        // adds while visiting.
        rVisitor.leave(this);
    }
}

bool SysComponentContainerC::canAdd(const SysComponentC* pPosition, bool bNeedsPosition,
                                    const SysComponentC* pComponent,
                                    const AddReportLinesS& rLines) {
    // Adding from inside a walk would wait for the walk's own read lock.
    if (isTraversing()) {
        ERR::assertReport("!\"Container is traversing at the moment, add\"", 0, 0, REPORT_MODULE,
                          rLines.iTraversing);
        return false;
    }
    if (pComponent == nullptr || (bNeedsPosition && pPosition == nullptr)) {
        ERR::assertReport("!\"component pointer is null\"", 0, 0, REPORT_MODULE, rLines.iNull);
        return false;
    }
    return true;
}

void SysComponentContainerC::adopt(SysComponentC* pComponent) {
    if (pComponent->owner() != &m_components) {
        return; // the list refused it
    }
    pComponent->m_pContainer = this;
    ComponentLogC::componentAdded(pComponent);
    if (m_bFollow) {
        bringUp(pComponent);
    }
}

void SysComponentContainerC::bringUp(SysComponentC* pComponent) {
    const int32_t lTarget = std::min(state(), pComponent->level());
    if ((lTarget == STATE_INITIALISED || lTarget == STATE_STARTED) &&
        pComponent->state() == STATE_CREATED) {
        pComponent->init(0);
    }
    if (lTarget == STATE_STARTED && pComponent->state() < STATE_STARTED) {
        pComponent->start(0);
    }
}

void SysComponentContainerC::add(SysComponentC* pComponent) {
    GuardC guard(m_lock);
    if (canAdd(nullptr, false, pComponent, ADD_LINES)) {
        m_components.pushBack(pComponent);
        adopt(pComponent);
    }
}

void SysComponentContainerC::insertBefore(SysComponentC* pPosition, SysComponentC* pComponent) {
    GuardC guard(m_lock);
    if (canAdd(pPosition, true, pComponent, INSERT_BEFORE_LINES)) {
        m_components.insertBefore(pPosition, pComponent);
        adopt(pComponent);
    }
}

void SysComponentContainerC::insertAfter(SysComponentC* pPosition, SysComponentC* pComponent) {
    GuardC guard(m_lock);
    if (canAdd(pPosition, true, pComponent, INSERT_AFTER_LINES)) {
        m_components.insertAfter(pPosition, pComponent);
        adopt(pComponent);
    }
}

SysComponentC* SysComponentContainerC::first() const {
    return static_cast<SysComponentC*>(m_components.first());
}

SysComponentC* SysComponentContainerC::next(const SysComponentC* pComponent) const {
    return static_cast<SysComponentC*>(m_components.next(pComponent));
}

SysComponentC* SysComponentContainerC::last() const {
    return static_cast<SysComponentC*>(m_components.last());
}

SysComponentC* SysComponentContainerC::prev(const SysComponentC* pComponent) const {
    return static_cast<SysComponentC*>(m_components.prev(pComponent));
}

int32_t SysComponentContainerC::count() const {
    return m_components.count();
}

} // namespace FWK::TSK
