#pragma once

#include "platform/CommTimeouts.h"

#include <chrono>
#include <cstddef>
#include <optional>

namespace oryx::platform {

// How one read of `size` bytes behaves under a set of CommTimeouts:
//  - all of interval = MAXDWORD and both totals 0: return at once with whatever is there;
//  - interval = MAXDWORD, multiplier = MAXDWORD, 0 < constant < MAXDWORD: bytes already there
//    are returned at once; otherwise the read ends with the first byte, or after `constant`;
//  - interval = MAXDWORD, neither total MAXDWORD: bytes already there are returned at once;
//    otherwise the read waits for all bytes or the total time;
//  - otherwise: a total time of multiplier * size + constant when either is set, and when the
//    interval is set, a limit on the gap between two bytes once the first has arrived. With
//    neither, the read waits for all bytes.
struct ReadTimeoutPlan {
    bool returnWhatIsThere = false;
    bool returnEarlyWithPresentBytes = false;
    // Bytes the read waits for when nothing was there at the start.
    std::size_t bytesWanted = 0;
    std::optional<std::chrono::milliseconds> total;
    std::optional<std::chrono::milliseconds> interval;

    static ReadTimeoutPlan forRead(const CommTimeouts& timeouts, std::size_t size);
    // The write budget: multiplier * size + constant, none when both are 0.
    static std::optional<std::chrono::milliseconds> writeBudget(const CommTimeouts& timeouts,
                                                                std::size_t size);
};

} // namespace oryx::platform
