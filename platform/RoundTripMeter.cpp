#include "platform/RoundTripMeter.h"

#include <algorithm>

namespace oryx::platform {
namespace {

// The margin covers the jitter of the data path, which the control exchanges only sample, and
// the time the far end's own scheduling takes on a link that is otherwise fast.
constexpr unsigned kMarginPercent = 12;
constexpr std::chrono::milliseconds kMarginFloor{20};

} // namespace

void RoundTripMeter::add(Duration sample) {
    m_samples[m_next] = std::max(sample, Duration::zero());
    m_next = (m_next + 1) % kSamples;
    m_count = std::min(m_count + 1, kSamples);
}

std::chrono::milliseconds RoundTripMeter::roundTrip() const {
    if (m_count == 0) {
        return std::chrono::milliseconds::zero();
    }
    std::array<Duration, kSamples> sorted = m_samples;
    std::sort(sorted.begin(), sorted.begin() + static_cast<long>(m_count));
    // Nearest rank, rounded up: with few samples the figure is the slowest of them.
    const std::size_t rank = (m_count * kPercentile + 99) / 100;
    return std::chrono::ceil<std::chrono::milliseconds>(sorted[rank - 1]);
}

std::chrono::milliseconds RoundTripMeter::allowance() const {
    if (m_count == 0) {
        return std::chrono::milliseconds::zero();
    }
    const std::chrono::milliseconds trip = roundTrip();
    return trip + trip * kMarginPercent / 100 + kMarginFloor;
}

} // namespace oryx::platform
