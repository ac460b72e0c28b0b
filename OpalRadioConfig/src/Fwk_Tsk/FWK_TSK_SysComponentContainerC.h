#pragma once

#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_ListC.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentC.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace FWK::TSK {

// A component that holds components and passes each life step on to them: first to last when
// bringing them up, last to first when bringing them down. Every step is logged through the
// "Component" logger. With follow set, a component added later is brought to the container's
// state at once.
class SysComponentContainerC : public SysComponentC {
public:
    explicit SysComponentContainerC(bool bFollow = false);
    ~SysComponentContainerC() override;

    void init(long lArg) override;
    void start(long lArg) override;
    void stop(long lArg) override;
    // A timeout other than 0 and -1 is a budget for the whole walk.
    bool waitForStop(long lTimeout) override;
    void kill(long lArg) override;
    void cleanup(long lArg) override;
    void accept(SysComponentVisitorI& rVisitor) override;

    // Adding from inside a walk of this container, or adding null, is reported and ignored.
    void add(SysComponentC* pComponent);
    virtual void insertBefore(SysComponentC* pPosition, SysComponentC* pComponent);
    virtual void insertAfter(SysComponentC* pPosition, SysComponentC* pComponent);

    // Forwarded to the component list; a walk holds the container's lock.
    virtual SysComponentC* first() const;
    virtual SysComponentC* next(const SysComponentC* pComponent) const;
    virtual SysComponentC* last() const;
    virtual SysComponentC* prev(const SysComponentC* pComponent) const;
    virtual int32_t count() const;

    bool isTraversing() const { return m_lTraversalCount.load() > 0; }

    // Report lines of one adding operation: refused during a walk, refused for null.
    struct AddReportLinesS {
        int iTraversing;
        int iNull;
    };

private:
    enum class DirectionT { FirstToLast, LastToFirst };
    using ComponentStepT = std::function<bool(SysComponentC&)>;

    // Logs begin and end, walks the components under the list's read lock and stops early when
    // a step returns false. Returns false then.
    bool walk(const char* pszStep, DirectionT direction, const ComponentStepT& rStep);
    bool canAdd(const SysComponentC* pPosition, bool bNeedsPosition,
                const SysComponentC* pComponent, const AddReportLinesS& rLines);
    void adopt(SysComponentC* pComponent);
    void bringUp(SysComponentC* pComponent);

    ListC m_components;
    std::atomic<int32_t> m_lTraversalCount{0};
    CriticalSectionC m_lock;
    bool m_bFollow;
};

} // namespace FWK::TSK
