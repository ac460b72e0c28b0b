#include "ScratchDirC.h"
#include "common/EventLogFileC.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Reads pass through until a test arms a failure: then that many more succeed and the next
// one fails with EIO.
static int g_readsBeforeFailure = -1;

extern "C" ssize_t __real_read(int fd, void* buffer, size_t size);
extern "C" ssize_t __wrap_read(int fd, void* buffer, size_t size) {
    if (g_readsBeforeFailure == 0) {
        g_readsBeforeFailure = -1;
        errno = EIO;
        return -1;
    }
    if (g_readsBeforeFailure > 0) {
        --g_readsBeforeFailure;
    }
    return __real_read(fd, buffer, size);
}

namespace {

std::string NumberedLines(int count, const std::string& prefix = "old ") {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += prefix + std::to_string(i) + "\r\n";
    }
    return text;
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

std::string WithoutStamp(const std::string& line) {
    // "dd/mm/yyyy h:mm:ss: text" -> "text"
    auto pos = line.find(": ");
    return pos == std::string::npos ? line : line.substr(pos + 2);
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class EventLogFileTest : public ::testing::Test {
protected:
    ScratchDirC dir;
    std::string log = dir.file("ORYX_Log.txt");
};

TEST(EventLogFormat, StampedLineHasUnpaddedHourAndPaddedFields) {
    struct tm t {};
    t.tm_mday = 6;
    t.tm_mon = 11;
    t.tm_year = 126;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    EXPECT_EQ(EventLogFileC::FormatStampedLine(t, "Application started"),
              "06/12/2026 9:05:07: Application started\r\n");
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 0;
    t.tm_mday = 31;
    t.tm_mon = 0;
    EXPECT_EQ(EventLogFileC::FormatStampedLine(t, "x"), "31/01/2026 23:59:00: x\r\n");
}

TEST_F(EventLogFileTest, LifetimeWritesStartBlockLinesAndClosedLine) {
    {
        EventLogFileC eventLog("ORYX_Log.txt", 500);
        eventLog.Log("Button 'Close' pressed.");
        eventLog.Log("ERROR: port gone\r\n");
    }
    std::vector<std::string> lines = SplitCrLf(ScratchDirC::ReadFile(log));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], std::string(61, '-'));
    EXPECT_EQ(WithoutStamp(lines[2]), "Application started");
    EXPECT_EQ(WithoutStamp(lines[3]), "Button 'Close' pressed.");
    EXPECT_EQ(WithoutStamp(lines[4]), "ERROR: port gone");
    EXPECT_EQ(lines[5], "") << "a text ending in CR LF leaves an empty line";
    EXPECT_EQ(WithoutStamp(lines[6]), "Application closed");

    // The stamp is local time now.
    time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    char year[16];
    std::snprintf(year, sizeof year, "/%d ", local.tm_year + 1900);
    EXPECT_NE(lines[2].find(year), std::string::npos) << lines[2];
}

TEST_F(EventLogFileTest, TrimKeepsTheLastLinesOnlyWhenTheLimitIsReached) {
    // Each object adds four lines: blank, separator, started, closed.
    ScratchDirC::WriteFile(log, NumberedLines(506));
    { EventLogFileC eventLog("ORYX_Log.txt", 500); }
    std::string text = ScratchDirC::ReadFile(log);
    EXPECT_EQ(CountLines(text), 500);
    EXPECT_EQ(text.rfind("old 11\r\n", 0), 0u) << "510 lines keep the last 500";
    EXPECT_NE(text.find("Application closed\r\n"), std::string::npos);

    std::string below = NumberedLines(495);
    ScratchDirC::WriteFile(log, below);
    { EventLogFileC eventLog("ORYX_Log.txt", 500); }
    text = ScratchDirC::ReadFile(log);
    EXPECT_EQ(CountLines(text), 499) << "499 lines are left alone";
    EXPECT_EQ(text.rfind(below, 0), 0u);
}

TEST_F(EventLogFileTest, TrimAtExactlyTheLimitRewritesIdenticalContent) {
    ScratchDirC::WriteFile(log, NumberedLines(500));
    ino_t before = 0;
    struct stat st {};
    ASSERT_EQ(::stat(log.c_str(), &st), 0);
    before = st.st_ino;

    EventLogFileC eventLog("ORYX_Log.txt", 500);
    ScratchDirC::WriteFile(log, NumberedLines(500));
    eventLog.Trim();
    EXPECT_EQ(ScratchDirC::ReadFile(log), NumberedLines(500));
    ASSERT_EQ(::stat(log.c_str(), &st), 0);
    EXPECT_NE(st.st_ino, before) << "the file was rewritten";
}

TEST_F(EventLogFileTest, TrimDropsALastLineWithoutLineFeedAndStrayCarriageReturns) {
    EventLogFileC eventLog("ORYX_Log.txt", 3);
    ScratchDirC::WriteFile(log, "a\r\nb\r\nc\rx\r\nd\r\ntail without LF");
    eventLog.Trim();
    EXPECT_EQ(ScratchDirC::ReadFile(log), "b\r\ncx\r\nd\r\n");
}

TEST_F(EventLogFileTest, TrimThatCannotReadTheWholeLogLeavesItAsItIs) {
    EventLogFileC eventLog("ORYX_Log.txt", 10);
    const std::string original = NumberedLines(2000); // several read blocks
    ScratchDirC::WriteFile(log, original);
    g_readsBeforeFailure = 1;
    eventLog.Trim();
    EXPECT_EQ(ScratchDirC::ReadFile(log), original);
}

TEST_F(EventLogFileTest, TrimNeverWritesThroughWhatStandsAtItsTemporaryName) {
    const std::string temp = log + ".trim";
    const std::string victim = dir.file("victim.txt");
    ScratchDirC::WriteFile(victim, "someone else's\n");
    // A planted link, and a folder that leaves no room for a temporary file at all.
    const std::vector<std::function<void()>> plants = {
        [&] { ASSERT_EQ(::symlink(victim.c_str(), temp.c_str()), 0); },
        [&] {
            std::filesystem::create_directory(temp);
            ScratchDirC::WriteFile(temp + "/inside", "x");
        },
    };
    for (const auto& plant : plants) {
        plant();
        {
            EventLogFileC eventLog("ORYX_Log.txt", 2);
            ScratchDirC::WriteFile(log, NumberedLines(5));
            eventLog.Trim();
            EXPECT_EQ(ScratchDirC::ReadFile(log), "old 4\r\nold 5\r\n");
            EXPECT_FALSE(std::filesystem::is_symlink(log));
            EXPECT_EQ(ScratchDirC::ReadFile(victim), "someone else's\n");
        }
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(temp)))
            << "what was planted is not ours to remove";
        std::filesystem::remove_all(temp);
    }
}

// Only a regular file of this user is written. Anything else at the name is left as it is,
// the caller hears of it once, and the log is off for the rest of the run; a pipe or a device
// must not hold the run up or fill the memory.
TEST_F(EventLogFileTest, AnythingButARegularFileOfThisUserIsRefusedWithOneWarning) {
    const std::string victim = dir.file("victim");
    const std::string others = dir.file("others");
    const std::string original = NumberedLines(5, "someone else's ");
    const struct {
        std::string name;
        std::function<bool()> make; // false: this user cannot set the case up
        std::string reason;
    } cases[] = {
        {dir.file("link"), [&] { return ::symlink(victim.c_str(), dir.file("link").c_str()) == 0; },
         "it is a symbolic link"},
        {"/dev/stderr", [] { return true; }, "it is a symbolic link"},
        {dir.file("fifo"), [&] { return ::mkfifo(dir.file("fifo").c_str(), 0600) == 0; },
         "it is not a regular file"},
        {"/dev/zero", [] { return true; }, "it is not a regular file"},
        {dir.file("folder"), [&] { return ::mkdir(dir.file("folder").c_str(), 0700) == 0; },
         "Is a directory"},
        {others,
         [&] {
             ScratchDirC::WriteFile(others, original);
             return ::geteuid() == 0 && ::chown(others.c_str(), 65534, 65534) == 0;
         },
         "it belongs to another user"},
        {"/nonexistent-oryx-folder/ORYX_Log.txt", [] { return true; }, "No such file or directory"},
    };
    for (const auto& c : cases) {
        ScratchDirC::WriteFile(victim, original);
        if (!c.make()) {
            std::cout << "skipped " << c.name << ": needs root to make another user's file\n";
            continue;
        }
        std::vector<std::string> warnings;
        {
            EventLogFileC eventLog(c.name, 2, [&](const std::string& w) { warnings.push_back(w); });
            eventLog.Log("one");
            eventLog.Log("two");
        }
        ASSERT_EQ(warnings.size(), 1u) << c.name;
        EXPECT_NE(warnings[0].find(c.name), std::string::npos) << warnings[0];
        EXPECT_NE(warnings[0].find(c.reason), std::string::npos) << warnings[0];
        EXPECT_EQ(ScratchDirC::ReadFile(victim), original) << c.name;
    }
    if (::geteuid() == 0) {
        EXPECT_EQ(ScratchDirC::ReadFile(others), original) << "no line and no trimmed copy";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5)
            << "victim, link, fifo, folder, others: nothing else";
    }
}

TEST_F(EventLogFileTest, TrimKeepsTheLogsPermissions) {
    ScratchDirC::WriteFile(log, NumberedLines(10));
    ASSERT_EQ(::chmod(log.c_str(), 0640), 0);
    { EventLogFileC eventLog("ORYX_Log.txt", 5); }
    struct stat info {};
    ASSERT_EQ(::stat(log.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(CountLines(ScratchDirC::ReadFile(log)), 5);
}

// A full disk, played by a file size limit: the line that does not fit is taken back whole.
TEST_F(EventLogFileTest, ALineThatDoesNotFitLeavesNoHalfLineAndOneWarning) {
    std::vector<std::string> warnings;
    EventLogFileC eventLog("ORYX_Log.txt", 500,
                           [&](const std::string& w) { warnings.push_back(w); });
    const std::string before = ScratchDirC::ReadFile(log);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = before.size() + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    eventLog.Log("a line much longer than ten bytes");
    eventLog.Log("and another one");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, savedHandler);

    EXPECT_EQ(ScratchDirC::ReadFile(log), before);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("File too large"), std::string::npos) << warnings[0];
}

TEST(EventLogFailures, EmptyNameWritesNothingAnywhere) {
    ScratchDirC dir;
    {
        EventLogFileC eventLog("", 0);
        eventLog.Log("nowhere");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(EventLogFailures, UnwritableFolderIsSilent) {
    const std::string name = "/nonexistent-oryx-folder/ORYX_Log.txt";
    {
        EventLogFileC eventLog(name, 500);
        eventLog.Log("lost");
    }
    EXPECT_NE(::access(name.c_str(), F_OK), 0);
}

TEST_F(EventLogFileTest, LineIsSkippedWhileAnotherWriterHoldsTheFile) {
    EventLogFileC eventLog("ORYX_Log.txt", 500);
    int holder = ::open(log.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    eventLog.Log("skipped");
    ::close(holder);
    eventLog.Log("written");
    std::string text = ScratchDirC::ReadFile(log);
    EXPECT_EQ(text.find("skipped"), std::string::npos);
    EXPECT_NE(text.find("written"), std::string::npos);
}

TEST_F(EventLogFileTest, LogSurvivesAProcessKilledDuringTheTrim) {
    const std::string original = NumberedLines(600);
    ScratchDirC::WriteFile(log, original);
    EXPECT_EXIT(
        {
            auto* eventLog = new EventLogFileC("ORYX_Log.txt", 500);
            eventLog->setBeforeReplaceHook([] { ::raise(SIGKILL); });
            delete eventLog;
        },
        ::testing::KilledBySignal(SIGKILL), "");
    std::string text = ScratchDirC::ReadFile(log);
    EXPECT_EQ(text.rfind(original, 0), 0u) << "nothing of the old log is lost";
    EXPECT_NE(text.find("Application closed\r\n"), std::string::npos);

    // The next object completes the trim over the leftover copy.
    { EventLogFileC eventLog("ORYX_Log.txt", 500); }
    EXPECT_EQ(CountLines(ScratchDirC::ReadFile(log)), 500);
}

} // namespace
