#pragma once

// The logger's declaration lives with the exported headers, because the exported
// PerformanceLoggableC derives from it; this name lets library code include it by its folder.
#include <FWK_DBG_DbgLogFileC.h>
