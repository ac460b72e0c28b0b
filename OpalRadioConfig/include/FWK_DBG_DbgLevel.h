#pragma once

#include <cstdint>

namespace FWK::DBG {

// Record levels, lowest to highest. A consumer attached at level C receives records of level L
// when L >= C.
enum DbgLevelT : int32_t {
    DBG_ALL = 0,
    DBG_FINEST = 1,
    DBG_FINER = 2,
    DBG_FINE = 3,
    DBG_INFO = 4,
    DBG_WARN = 5,
    DBG_ERROR = 6,
    DBG_FATAL = 7,
};

// Threshold values of a logger beyond the record levels.
constexpr int32_t DBG_NO_CONSUMER = 8;
constexpr int32_t DBG_UNRESOLVED = -1;

} // namespace FWK::DBG
