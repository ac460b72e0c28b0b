#include "platform/PortEnumerator.h"

#include "platform/SerialDevice.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

class PortEnumeratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("oryx-ports-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "sys");
        fs::create_directories(m_root / "sim");
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A sysfs tty entry; with a device link unless it is a virtual terminal.
    void addTty(const std::string& name, bool withDevice, int uartType = -1) {
        const fs::path entry = m_root / "sys" / name;
        fs::create_directories(entry);
        if (withDevice) {
            fs::create_directory_symlink(m_root, entry / "device");
        }
        if (uartType >= 0) {
            std::ofstream(entry / "type") << uartType << "\n";
        }
    }

    PortEnumerator enumerator() const {
        return PortEnumerator((m_root / "sys").string(), (m_root / "sim").string());
    }

    fs::path m_root;
};

TEST_F(PortEnumeratorTest, ListsDevicesInStemAndNumberOrder) {
    addTty("ttyS10", true, 4);
    addTty("ttyS2", true, 4);
    addTty("ttyUSB0", true);
    addTty("ttyACM1", true);
    addTty("tty0", false);    // a console, not a serial device
    addTty("ttyS3", true, 0); // an 8250 slot with no UART behind it
    addTty("serial!ttyX1", true);
    const std::vector<std::string> expected{"serial/ttyX1", "ttyACM1", "ttyS2", "ttyS10",
                                            "ttyUSB0"};
    EXPECT_EQ(enumerator().listPorts(), expected);
}

TEST_F(PortEnumeratorTest, ListsLiveSimulatorLinksOnly) {
    addTty("ttyS0", true, 4);
    fs::create_symlink("/dev/null", m_root / "sim" / "modem-2410");
    fs::create_symlink("/dev/pts/no-such-pty", m_root / "sim" / "modem-2450");
    std::ofstream(m_root / "sim" / "notes.txt") << "not a link";
    const std::vector<std::string> expected{(m_root / "sim" / "modem-2410").string(), "ttyS0"};
    EXPECT_EQ(enumerator().listPorts(), expected);
}

// A folder another account could have made or could write in may hold links to any device.
TEST_F(PortEnumeratorTest, TakesSimulatorLinksOnlyFromAFolderOnlyThisUserCanWrite) {
    const fs::path folder = m_root / "sim";
    fs::create_symlink("/dev/null", folder / "modem-2410");
    fs::create_directory_symlink(folder, m_root / "linked");
    constexpr uid_t kNobody = 65534;
    const struct {
        const char* what;
        std::function<bool()> make; // false: cannot be made by this user
        std::string listed;
    } cases[] = {
        {"own folder", [] { return true; }, "sim"},
        {"group may write", [&] { return ::chmod(folder.c_str(), 0775) == 0; }, "sim"},
        {"anyone may write", [&] { return ::chmod(folder.c_str(), 0777) == 0; }, "sim"},
        {"a link to the folder", [] { return true; }, "linked"},
        {"another user's folder",
         [&] { return ::geteuid() == 0 && ::chown(folder.c_str(), kNobody, kNobody) == 0; }, "sim"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
        ASSERT_EQ(::chown(folder.c_str(), ::getuid(), ::getgid()), 0);
        if (!c.make()) {
            std::cout << "skipped: " << c.what << " needs root\n";
            continue;
        }
        const auto ports =
            PortEnumerator((m_root / "sys").string(), (m_root / c.listed).string()).listPorts();
        EXPECT_EQ(ports.empty(), std::string(c.what) != "own folder") << c.what;
    }
}

TEST_F(PortEnumeratorTest, MissingFoldersGiveAnEmptyList) {
    EXPECT_TRUE(PortEnumerator((m_root / "none").string(), (m_root / "none2").string())
                    .listPorts()
                    .empty());
}

TEST(PortEnumeratorOpenTest, PortHeldByAnotherUserDoesNotOpen) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);

    EXPECT_TRUE(PortEnumerator::portOpens(slave));
    {
        SerialDevice holder;
        ASSERT_TRUE(holder.open(slave).ok());
        EXPECT_FALSE(PortEnumerator::portOpens(slave));
    }
    // Testing does not keep the port: it opens again afterwards.
    EXPECT_TRUE(PortEnumerator::portOpens(slave));
    EXPECT_FALSE(PortEnumerator::portOpens("/dev/no-such-port"));
    ::close(master);
}

} // namespace
} // namespace oryx::platform
