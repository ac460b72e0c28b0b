#pragma once

#include <array>
#include <chrono>
#include <cstddef>

namespace oryx::platform {

// The round trip of a link, from timed exchanges that the far end answers at once. One sample
// may have met a busy moment of the link, so the figure is a high percentile of the recent
// samples: a single late answer does not inflate it, a link that grew slower raises it within
// a few exchanges.
class RoundTripMeter {
public:
    using Duration = std::chrono::microseconds;
    static constexpr std::size_t kSamples = 16;
    // The share of recent samples the figure covers.
    static constexpr unsigned kPercentile = 90;

    void add(Duration sample);
    // Zero before the first sample.
    std::chrono::milliseconds roundTrip() const;
    // What a wait for the far end's answer adds on this link: the round trip and a margin for
    // answers slower than the recent ones; zero before the first sample.
    std::chrono::milliseconds allowance() const;

private:
    std::array<Duration, kSamples> m_samples{};
    std::size_t m_count = 0;
    std::size_t m_next = 0;
};

} // namespace oryx::platform
