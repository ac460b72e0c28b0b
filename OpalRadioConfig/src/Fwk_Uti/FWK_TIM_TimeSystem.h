#pragma once

#include <cstdint>

namespace FWK::TIM {

// The time system a time value is expressed in.
enum TimeSystemT : int32_t { TS_GPS = 0, TS_UTC = 1, TS_LOCAL = 2 };

inline bool isKnownTimeSystem(int32_t lSystem) {
    return lSystem == TS_GPS || lSystem == TS_UTC || lSystem == TS_LOCAL;
}

} // namespace FWK::TIM
