#pragma once

#include <boost/noncopyable.hpp>

#include <cstdint>
#include <memory>

namespace FWK::TSK {
class BinarySemaphoreC;
}

namespace FWK::BIO {

// A one-shot wait: one thread waits until another declares the transfer over. At most one
// signal is kept pending; further signals before the wait are absorbed.
class XferProcBaseC : private boost::noncopyable {
public:
    // Throws ERR::LockingExceptionC (0x3101001) when the wait object cannot be created.
    XferProcBaseC();
    virtual ~XferProcBaseC();

    void signal();
    // CFG_OK when signalled, CFG_TIMEOUT when no signal came in time, CFG_NOT_READY without a
    // wait object.
    int32_t wait(uint32_t ulTimeoutMs);

private:
    std::unique_ptr<TSK::BinarySemaphoreC> m_pSemaphore;
};

} // namespace FWK::BIO
