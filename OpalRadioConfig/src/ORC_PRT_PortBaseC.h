#pragma once

#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"

#include <boost/noncopyable.hpp>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

namespace FWK::BIO {
class ReadConsumerC;
}
namespace oryx::platform {
class Waker;
}

namespace ORC::PRT {

// The library's byte port. One reader thread runs the concrete port's Read loop and hands each
// received chunk, whole, to at most one connected read consumer.
//
// Locks, in the order they are taken: the request lock (held by the controller for one whole
// exchange; the port never takes it), then the consumer lock (held for every delivery and for
// every change of the consumer).
class PortBaseC : private boost::noncopyable {
public:
    // Throws ERR::LockingExceptionC when the reader's wake-up object cannot be created.
    PortBaseC();
    // A derived port stops its reader (Disconnect) before its own fields go.
    virtual ~PortBaseC();

    virtual bool Connect() = 0;
    virtual bool Disconnect() = 0;
    virtual bool IsConnected() = 0;
    // Null disconnects. On return no delivery to the previous consumer runs or will start, so
    // the caller may destroy it at once.
    virtual void ConnectReadConsumer(FWK::BIO::ReadConsumerC* pConsumer);
    virtual void ConfigureReadWriteBuffers(uint32_t ulInQueueSize, uint32_t ulOutQueueSize);
    virtual void ReservedHook();
    virtual bool Write(const char* pData, uint32_t ulLength) = 0;
    // The reader thread's body.
    virtual void Read() = 0;

    FWK::TSK::CriticalSectionC& getRequestLock() { return m_requestLock; }

    // Thread entry: runs Read of the port it is given.
    static unsigned long DoRead(void* pPort);

protected:
    // True when a new reader thread was started.
    bool StartReading();
    // True when there was no reader, or it ended in time.
    bool StopReading();
    // Tested by the read loop on every pass.
    bool isReading() const { return m_bReading.load(); }
    // Hands one chunk to the connected consumer under the consumer lock; dropped without one.
    void deliver(const char* pData, uint32_t ulLength);
    // Readable after StopReading: a read loop blocks on it beside the device.
    oryx::platform::Waker& readerWaker() { return *m_pWaker; }
    // A reader that outlived StopReading's time-out still runs this port's code; a derived port
    // waits for it before its own fields go.
    void waitForLateReader();

private:
    void runReader();

    std::thread m_hThread;
    std::atomic<bool> m_bReading{false};
    FWK::TSK::CriticalSectionC m_consumerLock;
    FWK::TSK::CriticalSectionC m_requestLock;
    FWK::BIO::ReadConsumerC* m_pReadConsumer = nullptr;

    std::unique_ptr<oryx::platform::Waker> m_pWaker;
    FWK::TSK::BinarySemaphoreC m_readerEnded{false};
    std::thread m_lateReader;
};

} // namespace ORC::PRT
