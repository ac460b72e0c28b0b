#pragma once

#include "ORC_CFG_OpalDeviceRequestC.h"

namespace ORC::CFG {

// "AT\r": answered only by a module in command mode.
class PingRequestC : public OpalDeviceRequestC {
public:
    explicit PingRequestC(uint32_t ulTimeout);
};

} // namespace ORC::CFG
