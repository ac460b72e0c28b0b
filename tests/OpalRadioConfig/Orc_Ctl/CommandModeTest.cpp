#include "ControllerRig.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace controller_test {
namespace {

using namespace ORC::CFG;
using Clock = std::chrono::steady_clock;
using oryx::sim::Direction;
using oryx::sim::ModuleFaults;
using std::chrono::milliseconds;

// The controller keeps 1100 ms; the sides' clocks see the bytes with a lag of their own, so the
// test asks for the module's own guard time.
constexpr milliseconds kGuardTime{1000};

// The time at which the program's bytes up to and including the first occurrence of the text
// had been written, or nothing.
std::optional<Clock::time_point> writtenAt(oryx::sim::ModuleRadio& rModule,
                                           const std::string& rText, size_t unFrom = 0) {
    std::string strJoined;
    for (const oryx::sim::TrafficChunk& rChunk : rModule.traffic().chunks()) {
        if (rChunk.direction != Direction::FromProgram) {
            continue;
        }
        strJoined += rChunk.bytes;
        const size_t unFound = strJoined.find(rText, unFrom);
        if (unFound != std::string::npos && unFound + rText.size() <= strJoined.size()) {
            return rChunk.time;
        }
    }
    return std::nullopt;
}

TEST(CommandMode, AModuleInCommandModeIsNotEscaped) {
    ControllerRig rig;
    EXPECT_EQ(rig.controller().switchToCommandMode(), CFG_OK);
    EXPECT_EQ(rig.written(), "AT\r");
}

// One escape, then the way back: the guard times are kept around "///", the module answers
// afterwards, and "AT*ADDM" returns it to data mode where commands fail at the ping.
TEST(CommandMode, EscapesFromDataModeWithTheGuardTimesAndReturns) {
    ControllerRig rig(fastModule(false));
    ASSERT_EQ(rig.controller().switchToCommandMode(), CFG_OK);
    EXPECT_TRUE(rig.module().inCommandMode());
    EXPECT_EQ(rig.written(), "AT\r///AT\r");
    const auto ping = writtenAt(rig.module(), "AT\r");
    const auto escapeStart = writtenAt(rig.module(), "/");
    const auto escapeEnd = writtenAt(rig.module(), "///");
    const auto nextPing = writtenAt(rig.module(), "AT\r", 3);
    ASSERT_TRUE(ping && escapeStart && escapeEnd && nextPing);
    EXPECT_GE(*escapeStart - *ping, kGuardTime);
    EXPECT_GE(*nextPing - *escapeEnd, kGuardTime);

    rig.clearTraffic();
    EXPECT_EQ(rig.controller().switchToDataMode(), CFG_OK);
    EXPECT_EQ(rig.written(), "AT\rAT*ADDM\r");
    EXPECT_FALSE(rig.module().inCommandMode());

    rig.clearTraffic();
    DevNameAddressPairT local;
    EXPECT_FALSE(rig.controller().isCommandMode());
    EXPECT_EQ(rig.controller().getDeviceNameAndAddress(local), CFG_FAILED);
    EXPECT_EQ(rig.controller().switchToProductionMode(), CFG_FAILED);
    EXPECT_EQ(rig.written(), "AT\rAT\rAT\r") << "nothing but pings reaches a module in data mode";
}

TEST(CommandMode, AnUnansweredDataModeCommandIsSentTwice) {
    ControllerRig rig;
    ModuleFaults faults;
    faults.words["ADDM"] = {ModuleFaults::Kind::NoAnswer, {}};
    rig.module().setModuleFaults(faults);
    EXPECT_EQ(rig.controller().switchToDataMode(), CFG_TIMEOUT);
    EXPECT_EQ(rig.written(), "AT\rAT*ADDM\rAT\rAT*ADDM\r");
}

// A module that wants longer silence than the controller keeps does not take the escape.
TEST(CommandMode, AnEscapeWithoutAnswerFails) {
    oryx::sim::ModuleRadioOptions options = fastModule(false);
    options.guardTime = milliseconds(5000);
    ControllerRig rig(options);
    EXPECT_EQ(rig.controller().switchToCommandMode(), CFG_FAILED);
    EXPECT_EQ(rig.written(), "AT\r///AT\r");
    EXPECT_FALSE(rig.module().inCommandMode());
}

} // namespace
} // namespace controller_test
