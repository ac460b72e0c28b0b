#pragma once

#include <string>
#include <thread>

namespace FWK::TSK {

class BinarySemaphoreC;

// What the task manager knows of a framework task: set by whoever runs the task on a thread.
struct TaskRecordS {
    std::string m_strName;
    std::thread::id m_threadId;
    BinarySemaphoreC* m_pCompletion = nullptr; // released when the task's thread ends
    const void* m_pUnexpectedException = nullptr;
    const void* m_pUnexpectedAddress = nullptr;
};

} // namespace FWK::TSK
