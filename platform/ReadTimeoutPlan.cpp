#include "platform/ReadTimeoutPlan.h"

#include <cstdint>

namespace oryx::platform {
namespace {

constexpr std::uint32_t kMax = CommTimeouts::kMaxDword;

// 64-bit, so a large multiplier times a large read cannot wrap into a short time-out.
std::chrono::milliseconds budget(std::uint32_t multiplier, std::uint32_t constant,
                                 std::size_t size) {
    const auto perByte = static_cast<std::uint64_t>(multiplier) * size;
    return std::chrono::milliseconds(static_cast<std::int64_t>(perByte + constant));
}

} // namespace

ReadTimeoutPlan ReadTimeoutPlan::forRead(const CommTimeouts& t, std::size_t size) {
    ReadTimeoutPlan plan;
    plan.bytesWanted = size;
    if (t.readInterval == kMax) {
        if (t.readTotalMultiplier == 0 && t.readTotalConstant == 0) {
            plan.returnWhatIsThere = true;
        } else if (t.readTotalConstant != kMax && t.readTotalMultiplier != kMax) {
            plan.returnEarlyWithPresentBytes = true;
            plan.total = budget(t.readTotalMultiplier, t.readTotalConstant, size);
        } else if (t.readTotalConstant != kMax) {
            plan.returnEarlyWithPresentBytes = true;
            plan.bytesWanted = size == 0 ? 0 : 1;
            plan.total = std::chrono::milliseconds(t.readTotalConstant);
        }
        return plan;
    }
    if (t.readTotalMultiplier != 0 || t.readTotalConstant != 0) {
        plan.total = budget(t.readTotalMultiplier, t.readTotalConstant, size);
    }
    if (t.readInterval != 0) {
        plan.interval = std::chrono::milliseconds(t.readInterval);
    }
    return plan;
}

std::optional<std::chrono::milliseconds> ReadTimeoutPlan::writeBudget(const CommTimeouts& t,
                                                                      std::size_t size) {
    if (t.writeTotalMultiplier == 0 && t.writeTotalConstant == 0) {
        return std::nullopt;
    }
    return budget(t.writeTotalMultiplier, t.writeTotalConstant, size);
}

} // namespace oryx::platform
