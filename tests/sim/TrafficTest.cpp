#include "sim/Traffic.h"

#include <gtest/gtest.h>
#include <thread>

namespace oryx::sim {
namespace {

using std::chrono::milliseconds;

TEST(Traffic, LinesEndOnlyAtCarriageReturnLineFeed) {
    Traffic traffic;
    traffic.record(Direction::FromProgram, ":wit2400\r\nwb");
    traffic.record(Direction::ToProgram, "\r\nOK\r\n>");
    // A lost LF, a swapped pair and an unterminated tail must not pass for good lines.
    traffic.record(Direction::FromProgram, "?\r\n\r\nwn?\rsd?\n\rpe?\r\nz>");
    const std::vector<std::string> expected{":wit2400", "wb?", "", "wn?\rsd?\n\rpe?"};
    EXPECT_EQ(traffic.writtenLines(), expected);
    EXPECT_EQ(traffic.sent(), "\r\nOK\r\n>");
}

TEST(Traffic, KeepsTheNewestBytesWithinItsLimit) {
    Traffic traffic;
    traffic.setLimit(10);
    traffic.record(Direction::FromProgram, "aaaaaa");
    traffic.record(Direction::FromProgram, "bbbbbb");
    traffic.record(Direction::FromProgram, "cc");
    EXPECT_EQ(traffic.written(), "bbbbbbcc");
}

TEST(Traffic, WaitEndsWhenTheTextArrives) {
    Traffic traffic;
    std::thread writer([&] {
        std::this_thread::sleep_for(milliseconds(30));
        traffic.record(Direction::FromProgram, "m>\r");
        traffic.record(Direction::FromProgram, "\n");
    });
    EXPECT_TRUE(traffic.waitForWritten("m>\r\n", milliseconds(5000)));
    writer.join();
    EXPECT_FALSE(traffic.waitForSent("anything", milliseconds(20)));
}

} // namespace
} // namespace oryx::sim
