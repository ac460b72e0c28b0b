#pragma once

#include "ORC_CFG_OpalDeviceRequestC.h"

namespace ORC::CFG {

// "AT&F\r". The module restarts with its factory settings; its answer is collected but never
// decides the result, so the caller always waits the full time-out and gives the module that
// long to come back.
class FactorySettingsRequestC : public OpalDeviceRequestC {
public:
    static constexpr uint32_t TIMEOUT_MS = 1000;

    FactorySettingsRequestC();

    void procReadData(const char* pData, uint32_t ulLength) override;
};

} // namespace ORC::CFG
