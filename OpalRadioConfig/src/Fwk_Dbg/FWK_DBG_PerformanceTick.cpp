#include "Fwk_Dbg/FWK_DBG_PerformanceTick.h"

#include <atomic>
#include <ctime>

namespace FWK::DBG {

namespace {

uint32_t monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec / 1000000));
}

constinit std::atomic<TickSourceT> g_pTickSource{nullptr};

} // namespace

uint32_t performanceTick() {
    const TickSourceT pSource = g_pTickSource.load(std::memory_order_relaxed);
    return pSource != nullptr ? pSource() : monotonicMilliseconds();
}

void setPerformanceTickSource(TickSourceT pSource) {
    g_pTickSource.store(pSource);
}

} // namespace FWK::DBG
