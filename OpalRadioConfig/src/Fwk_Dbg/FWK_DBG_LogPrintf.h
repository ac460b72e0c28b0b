#pragma once

#include "FWK_DBG_DbgLogFileC.h"

namespace FWK::DBG {

// The logging call of the framework: formats and delivers only when the level is enabled.
void logPrintf(DbgLogFileC& rLogger, int32_t lLevel, const char* pszFormat, ...)
    __attribute__((format(printf, 3, 4)));

} // namespace FWK::DBG
