#pragma once

#include "Fwk_Tsk/FWK_TSK_TaskRecordS.h"

#include <boost/noncopyable.hpp>
#include <cstdint>
#include <map>

namespace FWK::TSK {

// Process-wide registry of framework tasks. Any code can ask for the task it runs in. Creating
// the manager installs the process's terminate handler, which reports a panic.
class TaskManagerC : private boost::noncopyable {
public:
    struct TaskKindConfigS {
        int32_t m_lPriority;
        int32_t m_lReserved;
        uint32_t m_ulStackSize;
    };

    // Created on first use.
    static TaskManagerC& instance();

    // The task the calling thread runs, or none.
    TaskRecordS* currentTask() const;
    // Makes the record the calling thread's task (its thread id is set); null clears the slot.
    void registerCurrentThread(TaskRecordS* pTask);

    const TaskKindConfigS* taskKind(int32_t lKind) const;

private:
    TaskManagerC();

    static void onTerminate();

    std::map<int32_t, TaskKindConfigS> m_taskKinds;
};

} // namespace FWK::TSK
