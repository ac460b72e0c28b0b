#include "platform/SerialDevice.h"

#include "PtyPair.h"
#include "platform/TtyAttributes.h"
#include "platform/Waker.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace oryx::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using test::PtyPair;

constexpr std::uint32_t kMax = CommTimeouts::kMaxDword;
const CommTimeouts kModemLink{100, 10, 100, 10, 100};

milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

class SerialDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_device.open(m_pty.slavePath()).ok());
        ASSERT_TRUE(m_device.configure(LineSettings{}).ok());
    }

    std::string read(std::size_t size) {
        std::string buffer(size, '\0');
        const IoResult result = m_device.read(buffer.data(), size);
        EXPECT_TRUE(result.error.ok()) << result.error.message;
        buffer.resize(result.count);
        return buffer;
    }

    void writeLater(milliseconds delay, std::string bytes) {
        m_writers.emplace_back([this, delay, bytes] {
            std::this_thread::sleep_for(delay);
            m_pty.writeFromFarEnd(bytes);
        });
    }

    // Bytes written at the far end reach the input queue a moment later.
    bool queued(std::size_t count) {
        const auto until = Clock::now() + milliseconds(5000);
        while (m_device.queueStatus().inQueue < count) {
            if (Clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(milliseconds(2));
        }
        return true;
    }

    void TearDown() override {
        for (auto& writer : m_writers) {
            writer.join();
        }
    }

    PtyPair m_pty;
    SerialDevice m_device;
    std::vector<std::thread> m_writers;
};

TEST_F(SerialDeviceTest, OneByteReadWithModemLinkTimeoutsWaits110ms) {
    m_device.setTimeouts(kModemLink);
    const auto start = Clock::now();
    EXPECT_EQ(read(1), "");
    EXPECT_GE(since(start), milliseconds(110));
}

TEST_F(SerialDeviceTest, IntervalTimeoutEndsTheReadAfterAQuietGap) {
    m_device.setTimeouts({60, 0, 30000, 0, 0});
    // Timed from before the writer starts: the bytes come 20 ms later at the earliest.
    const auto start = Clock::now();
    writeLater(milliseconds(20), "ab");
    EXPECT_EQ(read(10), "ab");
    EXPECT_GE(since(start), milliseconds(80));
    // Ended by the gap, far ahead of the 30 s total.
    EXPECT_LT(since(start), milliseconds(30000));
}

TEST_F(SerialDeviceTest, ReadCollectsBytesThatArriveWithinTheTotal) {
    m_device.setTimeouts({0, 0, 2000, 0, 0});
    writeLater(milliseconds(10), "abc");
    writeLater(milliseconds(40), "de");
    EXPECT_EQ(read(5), "abcde");
}

TEST_F(SerialDeviceTest, ReadWithoutTimeoutsWaitsForEveryByte) {
    m_device.setTimeouts({});
    writeLater(milliseconds(10), "12");
    writeLater(milliseconds(150), "3456");
    EXPECT_EQ(read(6), "123456");
}

TEST_F(SerialDeviceTest, MaxIntervalReturnsWhatIsThereAtOnce) {
    m_device.setTimeouts({kMax, 0, 0, 0, 0});
    EXPECT_EQ(read(10), "");
    m_pty.writeFromFarEnd("xyz");
    ASSERT_TRUE(queued(3));
    EXPECT_EQ(read(10), "xyz");
}

TEST_F(SerialDeviceTest, MaxIntervalAndMultiplierEndWithTheFirstByte) {
    m_device.setTimeouts({kMax, kMax, 2000, 0, 0});
    writeLater(milliseconds(30), "x");
    writeLater(milliseconds(400), "yz");
    EXPECT_EQ(read(10), "x");
    // Bytes already waiting are all handed over at once.
    ASSERT_TRUE(queued(2));
    EXPECT_EQ(read(10), "yz");
    // Nothing comes: the constant ends the wait.
    m_device.setTimeouts({kMax, kMax, 80, 0, 0});
    const auto start = Clock::now();
    EXPECT_EQ(read(10), "");
    EXPECT_GE(since(start), milliseconds(80));
}

TEST_F(SerialDeviceTest, WriteReachesTheFarEndWhole) {
    m_device.setTimeouts(kModemLink);
    const IoResult result = m_device.write("wb?\r\n", 5);
    EXPECT_TRUE(result.error.ok());
    EXPECT_EQ(result.count, 5u);
    EXPECT_EQ(m_pty.readAtFarEnd(50), "wb?\r\n");
}

TEST_F(SerialDeviceTest, WriteGivesUpWhenTheLineDoesNotTakeTheBytes) {
    // The far end never reads, so the pty fills up.
    m_device.setTimeouts({0, 0, 0, 0, 100});
    const std::string big(4 * 1024 * 1024, 'x');
    const auto start = Clock::now();
    const IoResult result = m_device.write(big.data(), big.size());
    EXPECT_TRUE(result.error.ok());
    EXPECT_LT(result.count, big.size());
    EXPECT_GE(since(start), milliseconds(100));
}

TEST_F(SerialDeviceTest, PortIsExclusive) {
    SerialDevice second;
    const SerialError busy = second.open(m_pty.slavePath());
    EXPECT_EQ(busy.code, EBUSY);
    EXPECT_NE(busy.message.find("in use by another program"), std::string::npos);
    m_device.close();
    EXPECT_TRUE(second.open(m_pty.slavePath()).ok());
}

TEST_F(SerialDeviceTest, RatesAndFramingReachTheLine) {
    for (std::uint32_t rate : {4800u, 9600u, 14400u, 19200u, 57600u, 115200u, 921600u}) {
        LineSettings settings;
        settings.baudRate = rate;
        ASSERT_TRUE(m_device.configure(settings).ok()) << rate;
        LineSettings seen;
        ASSERT_EQ(TtyAttributes::read(m_pty.master(), seen), 0);
        EXPECT_EQ(seen.baudRate, rate);
    }
    // A pty runs 8 data bits without parity whatever it is asked; the rest is kept.
    LineSettings framing;
    framing.baudRate = 19200;
    framing.stopBits = StopBits::Two;
    framing.rtsCtsHandshake = true;
    ASSERT_TRUE(m_device.configure(framing).ok());
    LineSettings back;
    ASSERT_TRUE(m_device.readSettings(back).ok());
    EXPECT_EQ(back, framing);
}

TEST_F(SerialDeviceTest, ImpossibleSettingsAreRefused) {
    LineSettings zero;
    zero.baudRate = 0;
    EXPECT_EQ(m_device.configure(zero).code, EINVAL);
    LineSettings nineBits;
    nineBits.dataBits = 9;
    EXPECT_EQ(m_device.configure(nineBits).code, EINVAL);
    // The line keeps its previous settings.
    LineSettings seen;
    ASSERT_EQ(TtyAttributes::read(m_pty.master(), seen), 0);
    EXPECT_EQ(seen.baudRate, 9600u);
}

TEST_F(SerialDeviceTest, QueueCountsAndReceivePurge) {
    m_device.setTimeouts(kModemLink);
    m_pty.writeFromFarEnd(std::string(250, 'a'));
    ASSERT_TRUE(queued(250));
    EXPECT_EQ(m_device.queueStatus().inQueue, 250u);
    EXPECT_EQ(read(199).size(), 199u);
    EXPECT_EQ(m_device.queueStatus().inQueue, 51u);
    EXPECT_TRUE(m_device.purge(true, true).ok());
    const QueueStatus after = m_device.queueStatus();
    EXPECT_TRUE(after.error.ok());
    EXPECT_EQ(after.inQueue, 0u);
    EXPECT_EQ(after.errors, 0u);
}

TEST_F(SerialDeviceTest, TransmitPurgeKeepsBytesTheFarEndHasNotRead) {
    m_device.setTimeouts(kModemLink);
    ASSERT_EQ(m_device.write("m>\r\n", 4).count, 4u);
    ASSERT_TRUE(m_device.purge(true, true).ok());
    EXPECT_EQ(m_pty.readAtFarEnd(50), "m>\r\n");
}

TEST_F(SerialDeviceTest, VanishedDeviceIsReportedEverywhere) {
    m_device.setTimeouts(kModemLink);
    m_pty.closeMaster();
    char byte = 0;
    EXPECT_TRUE(m_device.read(&byte, 1).error.deviceGone());
    EXPECT_TRUE(m_device.write("x", 1).error.deviceGone());
    EXPECT_TRUE(m_device.queueStatus().error.deviceGone());
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(1000)), WaitOutcome::DeviceGone);
}

TEST_F(SerialDeviceTest, WaitEndsOnInputOrTimeOut) {
    auto start = Clock::now();
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(100)), WaitOutcome::TimedOut);
    EXPECT_GE(since(start), milliseconds(100));
    writeLater(milliseconds(30), "W");
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(5000)), WaitOutcome::Input);
}

TEST_F(SerialDeviceTest, ALineErrorIsReportedOnceByWhicheverCallSeesIt) {
    SerialDevice::LineCounts driver;
    m_device.setLineCountReader([&driver](int, SerialDevice::LineCounts& counts) {
        counts = driver;
        return true;
    });
    driver.frame = 1;
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(1000)), WaitOutcome::LineError);
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(20)), WaitOutcome::TimedOut);
    EXPECT_EQ(m_device.queueStatus().errors, 0u);
    driver.parity = 1;
    EXPECT_EQ(m_device.queueStatus().errors, LineError::kParity);
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(20)), WaitOutcome::TimedOut);
}

TEST_F(SerialDeviceTest, WakerBreaksABlockedWaitFromAnotherThread) {
    Waker waker;
    std::thread other([&] {
        std::this_thread::sleep_for(milliseconds(50));
        waker.wake();
    });
    EXPECT_EQ(m_device.waitForInputOrError(SerialDevice::kWaitForever, &waker), WaitOutcome::Woken);
    other.join();
    // A wake that came before the wait is not lost, and is reported once.
    waker.wake();
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(1000), &waker), WaitOutcome::Woken);
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(20), &waker), WaitOutcome::TimedOut);
}

TEST(SerialDeviceOpen, ErrorsNameThePortAndWhatToDo) {
    SerialDevice device;
    const SerialError missing = device.open("/dev/no-such-serial-port");
    EXPECT_EQ(missing.code, ENOENT);
    EXPECT_NE(missing.message.find("/dev/no-such-serial-port"), std::string::npos);

    EXPECT_EQ(device.open("0").code, ENOENT);

    const SerialError denied = SerialError::fromErrno(EACCES, "COM1", "/dev/ttyS0");
    EXPECT_NE(denied.message.find("dialout"), std::string::npos);
    EXPECT_NE(denied.message.find("/dev/ttyS0"), std::string::npos);
}

// Whatever stands at the path, only a terminal is opened, and the message says what it is
// instead; a file keeps its bytes.
TEST(SerialDeviceOpen, ANonTerminalIsRefusedAndNamed) {
    // Named for this run: another user's file of the same name would answer EACCES.
    const std::string base = ::testing::TempDir() + "/not-a-port-" + std::to_string(::getpid());
    const std::string file = base + "-file", folder = base + "-folder", fifo = base + "-fifo",
                      socketPath = base + "-socket", link = base + "-link";
    std::ofstream(file) << "kept";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const struct {
        std::string path;
        const char* kind;
    } cases[] = {{"/etc/passwd", "a regular file"},
                 {file, "a regular file"},
                 {link, "a regular file"},
                 {folder, "a folder"},
                 {socketPath, "a socket"},
                 {fifo, "a named pipe"},
                 {"/dev/null", "not a terminal device"}};
    for (const auto& c : cases) {
        SerialDevice device;
        const SerialError refused = device.open(c.path);
        EXPECT_EQ(refused.code, ENOTTY) << c.path;
        EXPECT_FALSE(device.isOpen()) << c.path;
        EXPECT_EQ(refused.message,
                  "Port " + c.path + " is not a serial port: " + c.path + " is " + c.kind + ".");
    }
    std::ifstream kept(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");

    ::close(listener);
    for (const std::string& path : {file, fifo, socketPath, link}) {
        ::unlink(path.c_str());
    }
    ::rmdir(folder.c_str());
}

TEST(SerialDeviceOpen, ClosedDeviceRefusesEverything) {
    SerialDevice device;
    char byte = 0;
    EXPECT_FALSE(device.read(&byte, 1).error.ok());
    EXPECT_FALSE(device.write(&byte, 1).error.ok());
    EXPECT_FALSE(device.configure(LineSettings{}).ok());
    EXPECT_EQ(device.waitForInputOrError(milliseconds(10)), WaitOutcome::NotOpen);
    device.close();
}

} // namespace
} // namespace oryx::platform
