#include "Fwk_Tsk/FWK_TSK_ComponentLogC.h"

#include "FWK_DBG_DbgLevel.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogFileC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentC.h"
#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"
#include "Fwk_Tsk/FWK_TSK_TypeNameC.h"

namespace FWK::TSK {

namespace {
DBG::DbgLogFileC& componentLogger() {
    static DBG::DbgLogFileC s_logger("Component");
    return s_logger;
}

DBG::DbgLogFileC& containerLogger() {
    static DBG::DbgLogFileC s_logger("SysComponentContainer");
    return s_logger;
}

// Type names are only worked out for records that will be written.
void logWithTypeName(DBG::DbgLogFileC& rLogger, int32_t lLevel, const char* pszFormat,
                     const char* pszStep, const SysComponentC& rComponent) {
    if (!rLogger.isEnabled(lLevel)) {
        return;
    }
    const std::string typeName = TypeNameC::of(rComponent);
    DBG::logPrintf(rLogger, lLevel, pszFormat, pszStep, typeName.c_str());
}
} // namespace

void ComponentLogC::stepBegin(const char* pszStep, const SysComponentC& rContainer) {
    logWithTypeName(componentLogger(), DBG::DBG_FINE, "SysComponentContainerC::%s() begin %s\r\n",
                    pszStep, rContainer);
}

void ComponentLogC::stepComponent(const char* pszStep, const SysComponentC& rComponent) {
    DBG::DbgLogFileC& rLogger = componentLogger();
    if (!rLogger.isEnabled(DBG::DBG_INFO)) {
        return;
    }
    const std::string typeName = TypeNameC::of(rComponent);
    DBG::logPrintf(rLogger, DBG::DBG_INFO, "SysComponentContainerC::%s() %s component %s\r\n",
                   pszStep, pszStep, typeName.c_str());
}

void ComponentLogC::stepEnd(const char* pszStep, const SysComponentC& rContainer) {
    logWithTypeName(componentLogger(), DBG::DBG_FINE, "SysComponentContainerC::%s() end %s\r\n",
                    pszStep, rContainer);
}

void ComponentLogC::waitForStopTimeout(long lTimeout, const SysComponentC& rComponent) {
    DBG::DbgLogFileC& rLogger = componentLogger();
    if (!rLogger.isEnabled(DBG::DBG_ERROR)) {
        return;
    }
    const std::string typeName = TypeNameC::of(rComponent);
    DBG::logPrintf(rLogger, DBG::DBG_ERROR,
                   "SysComponentContainerC::waitForStop() waitForStop-timeout (%ld) for component "
                   "%s\r\n",
                   lTimeout, typeName.c_str());
}

void ComponentLogC::componentAdded(const SysComponentC* pComponent) {
    DBG::DbgLogFileC& rLogger = containerLogger();
    if (!rLogger.isEnabled(DBG::DBG_FINE)) {
        return;
    }
    if (const TaskRecordS* pTask = TaskManagerC::instance().currentTask()) {
        DBG::logPrintf(rLogger, DBG::DBG_FINE, "Task %s is adding component with address 0x%lx.\n",
                       pTask->m_strName.c_str(), reinterpret_cast<unsigned long>(pComponent));
    }
}

} // namespace FWK::TSK
