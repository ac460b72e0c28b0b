#include "platform/SerialDevice.h"
#include "platform/WireTraceHub.h"

#include "PtyPair.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace oryx::platform {
namespace {

using test::PtyPair;
namespace fs = std::filesystem;

class WireTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("oryx-wire-trace-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    static std::string read(const std::string& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The records without their times and without the comment lines.
    static std::vector<std::string> records(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.front() != '#') {
                lines.push_back(line.substr(12));
            }
        }
        return lines;
    }

    fs::path m_folder;
};

TEST_F(WireTraceTest, EveryOperationOfADeviceIsRecordedInOrder) {
    PtyPair pty;
    std::string problem;
    std::shared_ptr<WireTraceFile> file = WireTraceFile::create(path("t.txt"), problem);
    ASSERT_TRUE(file) << problem;
    WireTraceHub::attach(pty.slavePath(), file);

    SerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath()).ok());
    LineSettings settings;
    settings.baudRate = 19200;
    settings.parity = Parity::Even;
    settings.stopBits = StopBits::Two;
    ASSERT_TRUE(device.configure(settings).ok());
    ASSERT_TRUE(device.setDtr(false).ok());
    ASSERT_EQ(device.write("AT\r", 3).count, 3u);
    pty.writeFromFarEnd("0123456789ABCDEF\r\nOK");
    device.setTimeouts({0, 0, 500, 0, 500});
    char answer[20] = {};
    ASSERT_EQ(device.read(answer, sizeof answer).count, 20u);
    ASSERT_TRUE(device.purge(true, true).ok());
    device.close();
    WireTraceHub::detach(pty.slavePath());
    ASSERT_EQ(file->finish(), "");

    const std::vector<std::string> expected = {
        "OPEN  " + pty.slavePath(),
        "SET   19200 8E2 flow=none dtr=on rts=on",
        "DTR   off",
        "TX    41 54 0d                                         |AT.|",
        "RX    30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46  |0123456789ABCDEF|",
        "RX+   0d 0a 4f 4b                                      |..OK|",
        "PURGE rx tx",
        "CLOSE",
    };
    EXPECT_EQ(records(read(path("t.txt"))), expected);
}

TEST_F(WireTraceTest, AFileIsCreatedForTheUserOrReusedOnlyWhenItIsTheirsAndPlain) {
    std::ofstream(path("old.txt")) << "old trace";
    std::ofstream(path("target.txt")) << "not a trace";
    fs::create_symlink(path("target.txt"), path("link.txt"));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_hard_link(path("target.txt"), path("second-name.txt"));
    struct Case {
        std::string name;
        bool opens;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"new.txt", true, ""},
        {"old.txt", true, ""},
        {"link.txt", false, "a symbolic link"},
        {"fifo", false, "cannot write trace"}, // and no waiting for a reader
        {"second-name.txt", false, "other names"},
        {"missing/t.txt", false, "No such file or directory"},
    };
    for (const Case& c : cases) {
        std::string problem;
        std::unique_ptr<WireTraceFile> file = WireTraceFile::create(path(c.name), problem);
        EXPECT_EQ(file != nullptr, c.opens) << c.name;
        EXPECT_NE(problem.find(c.reason), std::string::npos) << c.name << ": " << problem;
        if (file) {
            file->finish();
            EXPECT_EQ(read(path(c.name)).rfind("# ORYX wire trace", 0), 0u) << c.name;
        }
    }
    EXPECT_EQ(read(path("target.txt")), "not a trace");
    EXPECT_EQ(fs::status(path("new.txt")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace
} // namespace oryx::platform
