#include "sim/PtyHost.h"

#include "ModemClient.h"
#include "platform/PortEnumerator.h"
#include "sim/SimulatedDevice.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace oryx::sim {
namespace {

using std::chrono::milliseconds;
using test::ModemClient;

class RecordingDevice : public SimulatedDevice {
public:
    void portOpened() override { ++opened; }
    void portClosed() override { ++closed; }
    void bytesReceived(std::string_view bytes) override {
        std::lock_guard lock(mutex);
        heard += bytes;
    }
    std::string heardSoFar() {
        std::lock_guard lock(mutex);
        return heard;
    }

    std::atomic<int> opened{0};
    std::atomic<int> closed{0};
    std::mutex mutex;
    std::string heard;
};

bool waitUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + milliseconds(3000);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
}

class PtyHostTest : public ::testing::Test {
protected:
    PtyHostTest() : m_host(m_device, "host-test-" + std::to_string(::getpid()), lineAt(9600)) {}
    void SetUp() override { m_host.start(); }
    void TearDown() override { m_host.stop(); }

    static platform::LineSettings lineAt(std::uint32_t baud) {
        platform::LineSettings line;
        line.baudRate = baud;
        return line;
    }

    RecordingDevice m_device;
    PtyHost m_host;
};

TEST_F(PtyHostTest, SeesEveryOpeningAndClosing) {
    for (int i = 0; i < 3; ++i) {
        ModemClient client(m_host.portText(), 9600);
    }
    EXPECT_TRUE(waitUntil([&] { return m_device.closed == 3; }));
    EXPECT_EQ(m_device.opened, 3);
    EXPECT_FALSE(m_host.portOpen());
}

TEST_F(PtyHostTest, SeesTheProgramsLineSettings) {
    ModemClient client(m_host.portText(), 14400);
    ASSERT_TRUE(m_host.programLine());
    EXPECT_EQ(m_host.programLine()->baudRate, 14400u);
    client.send("abc");
    ASSERT_TRUE(m_host.traffic().waitForWritten("abc", milliseconds(2000)));
    // Heard at the wrong rate: same number of bytes, none of them the ones sent.
    const std::string heard = m_device.heardSoFar();
    EXPECT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard.find_first_of("abc"), std::string::npos);
}

TEST_F(PtyHostTest, BytesDueWhileClosedGoNowhere) {
    m_host.send("lost", milliseconds(0));
    std::this_thread::sleep_for(milliseconds(50));
    ModemClient client(m_host.portText(), 9600);
    ASSERT_TRUE(m_host.waitForPortOpen(true, milliseconds(2000)));
    EXPECT_EQ(client.readUntilQuiet(milliseconds(100)), "");
    EXPECT_EQ(m_host.traffic().sent(), "");
}

TEST_F(PtyHostTest, BytesForAnOpeningDieWithIt) {
    {
        ModemClient first(m_host.portText(), 9600);
        ASSERT_TRUE(waitUntil([&] { return m_device.opened == 1; }));
        m_host.send("old", milliseconds(300), true);
    }
    ModemClient second(m_host.portText(), 9600);
    ASSERT_TRUE(waitUntil([&] { return m_device.opened == 2; }));
    m_host.send("new", milliseconds(0), true);
    EXPECT_EQ(second.readUntilQuiet(milliseconds(500)), "new");
}

TEST_F(PtyHostTest, LaterBytesNeverOvertakeEarlierOnes) {
    ModemClient client(m_host.portText(), 9600);
    ASSERT_TRUE(m_host.waitForPortOpen(true, milliseconds(2000)));
    m_host.send("first ", milliseconds(100));
    m_host.send("second", milliseconds(0));
    EXPECT_EQ(client.readUntilEnd("second", milliseconds(2000)), "first second");
}

TEST_F(PtyHostTest, AnOpenTestDoesNotKeepThePort) {
    EXPECT_TRUE(platform::PortEnumerator::portOpens(m_host.portText()));
    EXPECT_TRUE(m_host.waitForPortOpen(false, milliseconds(2000)));
    ModemClient client(m_host.portText(), 9600);
    EXPECT_TRUE(m_host.waitForPortOpen(true, milliseconds(2000)));
}

int inotifyInstancesOfThisProcess() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(entry.path(), error) == "anon_inode:inotify";
    }
    return count;
}

// A user gets 128 inotify instances by default; a fleet of radios must not need one each.
TEST_F(PtyHostTest, ManyHostsShareOneWatchAndEachStillSeesItsOwnPort) {
    const int before = inotifyInstancesOfThisProcess();
    std::vector<std::unique_ptr<RecordingDevice>> devices(40);
    std::vector<std::unique_ptr<PtyHost>> hosts;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        devices[i] = std::make_unique<RecordingDevice>();
        hosts.push_back(std::make_unique<PtyHost>(
            *devices[i], "fleet-" + std::to_string(::getpid()) + "-" + std::to_string(i),
            lineAt(9600)));
        hosts.back()->start();
    }
    EXPECT_LE(inotifyInstancesOfThisProcess(), before + 1);

    for (const std::size_t i : {std::size_t{7}, std::size_t{39}}) {
        ModemClient client(hosts[i]->portText(), 9600);
        EXPECT_TRUE(hosts[i]->waitForPortOpen(true, milliseconds(2000))) << i;
    }
    EXPECT_TRUE(waitUntil([&] { return devices[7]->closed == 1 && devices[39]->closed == 1; }));
    for (std::size_t i = 0; i < devices.size(); ++i) {
        EXPECT_EQ(devices[i]->opened, i == 7 || i == 39 ? 1 : 0) << i;
    }
}

} // namespace
} // namespace oryx::sim
