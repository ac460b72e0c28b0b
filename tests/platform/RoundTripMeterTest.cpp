#include "platform/RoundTripMeter.h"

#include <gtest/gtest.h>
#include <vector>

namespace oryx::platform {
namespace {

using std::chrono::milliseconds;

RoundTripMeter MeterOf(const std::vector<int>& samplesMs) {
    RoundTripMeter meter;
    for (int ms : samplesMs) {
        meter.add(milliseconds(ms));
    }
    return meter;
}

TEST(RoundTripMeter, FigureIsAHighPercentileOfTheRecentSamples) {
    struct CaseS {
        const char* what;
        std::vector<int> samples;
        int roundTrip;
    };
    std::vector<int> steady(16, 300);
    std::vector<int> oneBurst = steady;
    oneBurst[7] = 2000;
    std::vector<int> slower(16, 100);
    slower.insert(slower.end(), 14, 600);
    const std::vector<CaseS> cases = {
        {"no sample yet", {}, 0},
        {"the open's two exchanges: the slower counts", {280, 320}, 320},
        {"one late answer among sixteen does not count", oneBurst, 300},
        {"a link that grew slower is followed", slower, 600},
        {"the oldest samples drop out",
         [] {
             std::vector<int> v(16, 900);
             v.insert(v.end(), 16, 50);
             return v;
         }(),
         50},
    };
    for (const CaseS& c : cases) {
        EXPECT_EQ(MeterOf(c.samples).roundTrip(), milliseconds(c.roundTrip)) << c.what;
    }
}

TEST(RoundTripMeter, AllowanceIsZeroUnmeasuredAndCoversTheRoundTripWithAMargin) {
    EXPECT_EQ(RoundTripMeter().allowance(), milliseconds(0));
    for (int trip : {0, 1, 300, 600}) {
        const RoundTripMeter meter = MeterOf({trip});
        EXPECT_GE(meter.allowance(), milliseconds(trip + 20)) << trip;
        EXPECT_LE(meter.allowance(), milliseconds(trip * 2 + 20)) << trip;
    }
}

} // namespace
} // namespace oryx::platform
