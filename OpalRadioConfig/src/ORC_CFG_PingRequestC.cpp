#include "ORC_CFG_PingRequestC.h"

namespace ORC::CFG {

PingRequestC::PingRequestC(uint32_t ulTimeout) : OpalDeviceRequestC("AT", RF_PLAIN, ulTimeout) {}

} // namespace ORC::CFG
