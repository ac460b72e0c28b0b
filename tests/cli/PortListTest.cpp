// The ports of a run over several: the list file, the checks, the event log names, the table.
#include "ScratchDirC.h"
#include "cli/PortListC.h"
#include "cli/ResultTableC.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Ports = std::vector<std::string>;

TEST(PortListTest, AListFileHoldsOnePortALineAndSkipsBlankLinesAndComments) {
    const struct {
        std::string text;
        Ports ports;
    } cases[] = {
        {"ttyUSB0\nttyUSB1\n", {"ttyUSB0", "ttyUSB1"}},
        {"  ttyUSB0 \t\r\n\n   \n# bench 2\n  #ttyUSB9\nttyUSB1", {"ttyUSB0", "ttyUSB1"}},
        {"/tmp/oryx-sim-0/modem 2\r\n", {"/tmp/oryx-sim-0/modem 2"}},
        {"", {}},
        {"# none\n\n", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortListC::ParseLines(c.text), c.ports) << c.text;
    }
}

TEST(PortListTest, PortsOfTheOptionsComeFirstAndEveryProblemNamesItsOption) {
    ScratchDirC scratch;
    ScratchDirC::WriteFile(scratch.file("list"), "ttyUSB1\n# spare\nttyUSB2\n");
    ScratchDirC::WriteFile(scratch.file("empty"), "# nothing yet\n");
    ASSERT_EQ(::symlink("/dev/null", scratch.file("link").c_str()), 0);
    const struct {
        PortChoiceS choice;
        Ports ports;
        std::string error;
    } cases[] = {
        {{{"ttyUSB0"}, scratch.file("list")}, {"ttyUSB0", "ttyUSB1", "ttyUSB2"}, ""},
        {{{}, ""}, {}, "--port is required"},
        {{{}, scratch.file("missing")},
         {},
         "--ports-from: cannot read " + scratch.file("missing") + ": No such file or directory"},
        {{{}, "/dev/zero"}, {}, "--ports-from: cannot read /dev/zero: larger than 4096 KiB"},
        {{{}, scratch.file("empty")},
         {},
         "--ports-from: " + scratch.file("empty") + " names no port"},
        {{{"ttyUSB1"}, scratch.file("list")}, {}, "--port: ttyUSB1 and ttyUSB1 name the same port"},
        {{{"ttyS0", "COM1"}, ""}, {}, "--port: ttyS0 and COM1 name the same port"},
        {{{"/dev/null", scratch.file("link")}, ""},
         {},
         "--port: /dev/null and " + scratch.file("link") + " name the same port"},
    };
    for (const auto& c : cases) {
        Ports ports;
        const std::string error = PortListC::Collect(c.choice, ports);
        EXPECT_EQ(error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(ports, c.ports);
        }
    }
}

TEST(PortListTest, EachPortsLogIsNamedAfterTheFileAndThePortAndStaysInTheFilesFolder) {
    const struct {
        std::string file;
        Ports ports;
        Ports logs;
    } cases[] = {
        {"run.log", {"ttyUSB0", "pts/4"}, {"run-ttyUSB0.log", "run-pts_4.log"}},
        {"logs/events", {"/tmp/oryx-sim-0/m-1"}, {"logs/events-tmp_oryx-sim-0_m-1"}},
        {"a.b/.log", {"../x y"}, {"a.b/.log-.._x_y"}},
        {"run.log",
         {"pts/4", "pts_4", "pts:4"},
         {"run-pts_4.log", "run-pts_4-2.log", "run-pts_4-3.log"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PortListC::FilesPerPort(c.file, c.ports), c.logs) << c.file;
    }
}

TEST(PortListTest, ATableRowShowsTheErrorThenTheValuesQuotedWhereNeeded) {
    const auto result = nlohmann::ordered_json::parse(
        R"({"command":"write","port":"pts/1","status":"failed","exitStatus":1,
            "error":"Failed to write settings","name":"Bay 5","role":"server",
            "pcBaud":9600,"devices":[{"name":"A"}],"messages":[{"text":"x"}]})");
    EXPECT_EQ(ResultTableC::Details(result), "Failed to write settings name=\"Bay 5\" role=server "
                                             "pcBaud=9600 devices=[{\"name\":\"A\"}]");
}

} // namespace
