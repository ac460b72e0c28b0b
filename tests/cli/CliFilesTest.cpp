// What oryx-cli takes from files and prints for people: profiles read and saved, the files of a
// run, and text from outside shown on a terminal.
#include "ScratchDirC.h"
#include "cli/PortListC.h"
#include "cli/ProfileC.h"
#include "cli/ProfileFieldsC.h"
#include "cli/ResultTableC.h"
#include "cli/TextsC.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using JsonT = ProfileC::JsonT;

std::string Envelope(const std::string& model, const std::string& settings) {
    return R"({"format": "oryx-config-profile", "version": 1, "family": "modem", )" + model +
           R"("settings": )" + settings + "}";
}

TEST(CliFilesTest, AProfileIsRefusedForWhatTheParserWouldSilentlyAccept) {
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {Envelope(R"("model": 4294969706, )", "{}"), "model: 4294969706 is out of range"},
        {Envelope(R"("model": 2410, "model": 2450, )", "{}"), "model: given twice"},
        {Envelope("", R"({"link": 1, "link": 16})"), "settings.link: given twice"},
        {Envelope("", "{}") + std::string("\0{\"x\": 1}", 9), "not JSON: a NUL byte at byte"},
        {Envelope(R"("model": 2410, )", "{}"), ""},
    };
    for (const auto& c : cases) {
        ProfileC profile;
        const std::string error = ProfileC::Parse(c.text, "modem", profile);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.text;
        EXPECT_EQ(error.empty(), c.error.empty()) << error;
    }
}

TEST(CliFilesTest, ProfileFieldsCheckNumbersBeforeConvertingAndTextsForEveryControl) {
    const JsonT settings = JsonT::parse(R"({
        "huge": 18446744073709551615, "wraps": 4294967297, "esc": "a\u001bb", "c1": "a\u009bb",
        "separator": "a\u2028b", "nul": "a\u0000b", "umlauts": "\u00c4\u00c4\u00c4\u00c4\u00c4\u00c4\u00c4\u00c4",
        "fine": "Bay \u00c45"})");
    const struct {
        std::string key;
        std::string error;
    } cases[] = {
        {"huge", "settings.huge: 18446744073709551615 is out of range 0 to 15"},
        {"wraps", "settings.wraps: 4294967297 is out of range 0 to 15"},
        {"esc", "settings.esc: \"a\\u001bb\" holds control characters"},
        {"c1", "settings.c1: \"a\xc2\x9b"
               "b\" holds control characters"},
        {"separator", "settings.separator: \"a\xe2\x80\xa8"
                      "b\" holds control characters"},
        {"nul", "settings.nul: \"a\\u0000b\" holds control characters"},
        {"umlauts", "is not 1 to 15 bytes long"},
        {"fine", ""},
    };
    std::vector<std::string> known;
    for (const auto& [key, value] : settings.items()) {
        known.push_back(key);
    }
    for (const auto& c : cases) {
        ProfileFieldsC fields(settings, known);
        if (settings[c.key].is_string()) {
            fields.Text(c.key, 1, 15);
        } else {
            fields.Integer(c.key, 0, 15);
        }
        EXPECT_NE(fields.error().find(c.error), std::string::npos) << fields.error();
        EXPECT_EQ(fields.error().empty(), c.error.empty()) << fields.error();
    }
}

// A link planted where the save writes its new file, or standing at the target, is never
// written through: the profile lands at the target as a file of its own. Anything else at the
// target that is not this user's regular file is left as it is and the save refused.
TEST(CliFilesTest, ASavedProfileIsAFileOfItsOwnOrNotWrittenAtAll) {
    ScratchDirC scratch;
    const std::string victim = scratch.file("victim");
    const std::string target = scratch.file("bay.json");
    const ProfileC profile("modem", 2410, JsonT::object({{"link", 1}}));
    const auto accept = [](const ProfileC&) { return std::string(); };
    const struct {
        std::string what;
        std::function<bool()> plant; // false: this user cannot set the case up
        std::string error;
    } cases[] = {
        {"a link at the old temporary name",
         [&] { return ::symlink(victim.c_str(), (target + ".tmp").c_str()) == 0; }, ""},
        {"a link at the target", [&] { return ::symlink(victim.c_str(), target.c_str()) == 0; },
         ""},
        {"a pipe", [&] { return ::mkfifo(target.c_str(), 0600) == 0; }, "is not a regular file"},
        {"a folder", [&] { return ::mkdir(target.c_str(), 0700) == 0; }, "is not a regular file"},
        {"another user's file",
         [&] {
             ScratchDirC::WriteFile(target, "theirs");
             return ::geteuid() == 0 && ::chown(target.c_str(), 65534, 65534) == 0;
         },
         "belongs to another user"},
    };
    for (const auto& c : cases) {
        ScratchDirC::WriteFile(victim, "someone else's\n");
        std::filesystem::remove_all(target);
        std::filesystem::remove(target + ".tmp");
        if (!c.plant()) {
            std::cout << "skipped " << c.what << ": needs root\n";
            continue;
        }
        const auto before = std::filesystem::symlink_status(target).type();
        const std::string error = profile.Save(target, "the radio's", accept);

        EXPECT_EQ(ScratchDirC::ReadFile(victim), "someone else's\n") << c.what;
        if (c.error.empty()) {
            EXPECT_EQ(error, "") << c.what;
            EXPECT_FALSE(std::filesystem::is_symlink(target)) << c.what;
            EXPECT_EQ(ScratchDirC::ReadFile(target), profile.Text()) << c.what;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
            EXPECT_EQ(std::filesystem::symlink_status(target).type(), before) << c.what;
        }
    }
}

TEST(CliFilesTest, TheEventLogAndTheProfileOfARunAreNeverOneFile) {
    ScratchDirC scratch;
    ScratchDirC::WriteFile(scratch.file("run.log"), "");
    ASSERT_EQ(::symlink("run.log", scratch.file("link.log").c_str()), 0);
    const struct {
        std::string eventLog;
        std::string profile;
        std::vector<std::string> ports;
        bool same;
    } cases[] = {
        {"run.log", "./run.log", {"ttyUSB0"}, true},
        {"run.log", "link.log", {"ttyUSB0"}, true},
        {"new.log", scratch.file("new.log"), {"ttyUSB0"}, true},
        {"run.log", "run.json", {"ttyUSB0"}, false},
        {"run.log", "", {"ttyUSB0"}, false},
        // One port's log is another port's profile.
        {"a.log", "a-pts_1.log", {"pts/1", "pts/2"}, false},
        {"a-pts_2.log", "a.log", {"pts/1", "pts/2"}, false},
        {"a.log", "a.log", {"pts/1", "pts/2"}, true},
        {"run.log", "run-x.log", {"x-1", "1"}, true},
    };
    for (const auto& c : cases) {
        const std::string problem =
            PortListC::SameFileProblem(c.eventLog, c.profile, c.ports, c.ports.size() > 1);
        EXPECT_EQ(!problem.empty(), c.same) << c.eventLog << " " << c.profile << ": " << problem;
    }
}

TEST(CliFilesTest, TextFromOutsideReachesTheTerminalWithItsControlsEscaped) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Bay 5", "Bay 5"},
        {"\x1b]0;owned\x07\x1b[2J", "\\x1b]0;owned\\x07\\x1b[2J"},
        {"a\rb\nc\td\x7f", "a\\x0db\\x0ac\\x09d\\x7f"},
        {"\xc3\x84rger \xe2\x82\xac", "\xc3\x84rger \xe2\x82\xac"},
        {"csi \xc2\x9b"
         "2J",
         "csi \\xc2\\x9b2J"},
        {"bad \x9b \xc3 \xed\xa0\x80", "bad \\x9b \\xc3 \\xed\\xa0\\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextsC::ForTerminal(c.text), c.shown);
    }
    std::ostringstream table;
    ResultTableC::Print(table, {JsonT{{"port", "pts/1"}, {"status", "ok"}, {"name", "\x1b[2J"}}});
    EXPECT_EQ(table.str(), "PORT   STATUS  DETAILS\npts/1  ok      name=\\x1b[2J\n");
}

} // namespace
