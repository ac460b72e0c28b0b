#include "ORC_CFG_ControllerLog.h"

namespace ORC::CFG {

namespace {
FWK::DBG::PerformanceLoggableC s_loggable("OpalDeviceControllerImplC");
} // namespace

FWK::DBG::PerformanceLoggableC& controllerLoggable() {
    return s_loggable;
}

} // namespace ORC::CFG
