#pragma once

#include "FWK_DBG_PerformanceLoggableC.h"

namespace ORC::CFG {

// The logger that the controller's operations trace on.
FWK::DBG::PerformanceLoggableC& controllerLoggable();

} // namespace ORC::CFG
