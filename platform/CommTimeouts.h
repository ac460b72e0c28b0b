#pragma once

#include <cstdint>

namespace oryx::platform {

// Read and write time-outs in milliseconds with the meaning the radio protocols were written
// against: a total budget of multiplier * bytes + constant, an optional gap limit between
// received bytes, and MAXDWORD as a marker for the "return at once" read modes.
struct CommTimeouts {
    static constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

    std::uint32_t readInterval = 0;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;

    bool operator==(const CommTimeouts&) const = default;
};

} // namespace oryx::platform
