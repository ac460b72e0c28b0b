#pragma once

#include "Fwk_Tsk/FWK_TSK_NodeC.h"

#include <cstdint>

namespace FWK::BIO {

// What a port hands received bytes to. procReadData runs on the port's reader thread, under the
// port's consumer lock, once for every chunk while the consumer is connected.
class ReadConsumerC : public TSK::NodeC {
public:
    ReadConsumerC() = default;
    ~ReadConsumerC() override = default;

    virtual void procReadData(const char* pData, uint32_t ulLength) = 0;
    virtual void ReservedHook() {}
};

} // namespace FWK::BIO
