#include "platform/ReadTimeoutPlan.h"

#include <gtest/gtest.h>

namespace oryx::platform {
namespace {

using std::chrono::milliseconds;
constexpr std::uint32_t kMax = CommTimeouts::kMaxDword;

TEST(ReadTimeoutPlan, ModemLinkReadOfOneByteHas110ms) {
    const auto plan = ReadTimeoutPlan::forRead({100, 10, 100, 10, 100}, 1);
    EXPECT_EQ(plan.total, milliseconds(110));
    EXPECT_EQ(plan.interval, milliseconds(100));
    EXPECT_FALSE(plan.returnWhatIsThere);
    EXPECT_FALSE(plan.returnEarlyWithPresentBytes);
}

TEST(ReadTimeoutPlan, AllZeroWaitsForEveryByte) {
    const auto plan = ReadTimeoutPlan::forRead({}, 50);
    EXPECT_FALSE(plan.total);
    EXPECT_FALSE(plan.interval);
    EXPECT_EQ(plan.bytesWanted, 50u);
}

TEST(ReadTimeoutPlan, MaxIntervalCases) {
    const auto immediate = ReadTimeoutPlan::forRead({kMax, 0, 0, 0, 0}, 10);
    EXPECT_TRUE(immediate.returnWhatIsThere);

    const auto firstByte = ReadTimeoutPlan::forRead({kMax, kMax, 500, 0, 0}, 10);
    EXPECT_TRUE(firstByte.returnEarlyWithPresentBytes);
    EXPECT_EQ(firstByte.bytesWanted, 1u);
    EXPECT_EQ(firstByte.total, milliseconds(500));
    EXPECT_FALSE(firstByte.interval);

    const auto presentOrAll = ReadTimeoutPlan::forRead({kMax, 2, 100, 0, 0}, 10);
    EXPECT_TRUE(presentOrAll.returnEarlyWithPresentBytes);
    EXPECT_EQ(presentOrAll.bytesWanted, 10u);
    EXPECT_EQ(presentOrAll.total, milliseconds(120));

    // A MAXDWORD constant leaves no timer at all: the read waits for every byte.
    const auto blocking = ReadTimeoutPlan::forRead({kMax, 0, kMax, 0, 0}, 10);
    EXPECT_FALSE(blocking.returnWhatIsThere);
    EXPECT_FALSE(blocking.returnEarlyWithPresentBytes);
    EXPECT_FALSE(blocking.total);
    EXPECT_FALSE(blocking.interval);
}

TEST(ReadTimeoutPlan, LargeBudgetsDoNotWrapAround) {
    const auto plan = ReadTimeoutPlan::forRead({0, kMax - 1, kMax - 1, 0, 0}, 102400);
    ASSERT_TRUE(plan.total);
    EXPECT_GT(plan.total->count(), static_cast<long long>(kMax));
}

TEST(ReadTimeoutPlan, WriteBudget) {
    EXPECT_FALSE(ReadTimeoutPlan::writeBudget({}, 10));
    EXPECT_EQ(ReadTimeoutPlan::writeBudget({0, 0, 0, 10, 100}, 5), milliseconds(150));
    EXPECT_EQ(ReadTimeoutPlan::writeBudget({0, 0, 0, 0, 200}, 5), milliseconds(200));
}

} // namespace
} // namespace oryx::platform
