#include "Fwk_Tsk/FWK_TSK_SysComponentC.h"

#include "Fwk_Tsk/FWK_TSK_SysComponentVisitorI.h"

namespace FWK::TSK {

void SysComponentC::init(long) {
    m_lState = STATE_INITIALISED;
}

void SysComponentC::start(long) {
    m_lState = STATE_STARTED;
}

void SysComponentC::stop(long) {
    m_lState = STATE_INITIALISED;
}

bool SysComponentC::waitForStop(long) {
    return true;
}

void SysComponentC::kill(long) {
    m_lState = STATE_INITIALISED;
}

void SysComponentC::cleanup(long) {
    m_lState = STATE_CREATED;
}

void SysComponentC::accept(SysComponentVisitorI& rVisitor) {
    rVisitor.visit(this);
}

} // namespace FWK::TSK
