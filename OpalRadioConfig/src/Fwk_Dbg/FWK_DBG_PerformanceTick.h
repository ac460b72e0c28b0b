#pragma once

#include <cstdint>

namespace FWK::DBG {

// The millisecond tick of the performance log: 32 bits that wrap about every 49.7 days.
using TickSourceT = uint32_t (*)();

uint32_t performanceTick();
// Replaces the tick source (null restores the monotonic clock), so tests can cross the wrap.
void setPerformanceTickSource(TickSourceT pSource);

} // namespace FWK::DBG
