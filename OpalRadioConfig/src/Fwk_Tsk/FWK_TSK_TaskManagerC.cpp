#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"

#include <exception>

namespace FWK::TSK {

namespace {
thread_local TaskRecordS* t_pCurrentTask = nullptr;

// Configuration for platforms that run framework tasks; this system starts none.
const std::map<int32_t, TaskManagerC::TaskKindConfigS> TASK_KINDS = {
    {0, {100, 0, 65536}}, // general worker
    {1, {200, 0, 32768}}, // serial reader
    {2, {150, 0, 65536}}, // log writer
    {3, {50, 0, 100000}}, // housekeeping
};
} // namespace

TaskManagerC& TaskManagerC::instance() {
    static TaskManagerC s_manager;
    return s_manager;
}

TaskManagerC::TaskManagerC() : m_taskKinds(TASK_KINDS) {
    std::set_terminate(&TaskManagerC::onTerminate);
}

TaskRecordS* TaskManagerC::currentTask() const {
    TaskRecordS* pTask = t_pCurrentTask;
    return (pTask != nullptr && pTask->m_threadId == std::this_thread::get_id()) ? pTask : nullptr;
}

void TaskManagerC::registerCurrentThread(TaskRecordS* pTask) {
    if (pTask != nullptr) {
        pTask->m_threadId = std::this_thread::get_id();
    }
    t_pCurrentTask = pTask;
}

const TaskManagerC::TaskKindConfigS* TaskManagerC::taskKind(int32_t lKind) const {
    auto it = m_taskKinds.find(lKind);
    return it != m_taskKinds.end() ? &it->second : nullptr;
}

void TaskManagerC::onTerminate() {
    if (TaskRecordS* pTask = instance().currentTask()) {
        // Whoever waits for this task must not wait for ever.
        pTask->m_threadId = std::thread::id();
        if (pTask->m_pCompletion != nullptr) {
            pTask->m_pCompletion->release();
        }
    }
    // The framework's module and line, so that error logs read the same on every platform.
    ERR::panicReport("task terminate\npr=%08lX\nr14=%08lX", ERR::PANIC_TYPE_FRAMEWORK,
                     ERR::toDetail(__builtin_return_address(0)),
                     ERR::toDetail(__builtin_frame_address(0)), "Fwk_Tsk\\FWK_TSK_SysTask", 942);
}

} // namespace FWK::TSK
