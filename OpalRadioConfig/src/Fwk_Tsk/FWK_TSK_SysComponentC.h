#pragma once

#include "Fwk_Tsk/FWK_TSK_NodeC.h"

#include <cstdint>

namespace FWK::TSK {

class SysComponentContainerC;
class SysComponentVisitorI;

// An object with a life of init, start, stop, wait for stop, kill and cleanup. The base versions
// only track the state; components override the steps they need and call the base.
class SysComponentC : public NodeC {
public:
    enum StateT : int32_t { STATE_CREATED = 0, STATE_INITIALISED = 1, STATE_STARTED = 2 };
    // How far a component takes part in its container's life steps.
    enum LevelT : int32_t { LEVEL_NONE = 0, LEVEL_INIT = 1, LEVEL_INIT_AND_START = 2 };

    explicit SysComponentC(int32_t lLevel = LEVEL_INIT_AND_START) : m_lLevel(lLevel) {}

    virtual void init(long lArg);
    virtual void start(long lArg);
    virtual void stop(long lArg);
    // Milliseconds; true when the component has stopped in time.
    virtual bool waitForStop(long lTimeout);
    virtual void kill(long lArg);
    virtual void cleanup(long lArg);
    virtual void accept(SysComponentVisitorI& rVisitor);

    int32_t state() const { return m_lState; }
    int32_t level() const { return m_lLevel; }
    SysComponentContainerC* container() const { return m_pContainer; }

protected:
    void setState(int32_t lState) { m_lState = lState; }

private:
    friend class SysComponentContainerC;

    int32_t m_lState = STATE_CREATED;
    int32_t m_lLevel;
    SysComponentContainerC* m_pContainer = nullptr;
};

} // namespace FWK::TSK
