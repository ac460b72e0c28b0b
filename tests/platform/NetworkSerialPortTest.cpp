#include "platform/SerialDevice.h"

#include "DelayProxyC.h"
#include "PtyPair.h"
#include "Ser2netServerC.h"
#include "platform/TtyAttributes.h"
#include "platform/Waker.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

namespace oryx::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using test::PtyPair;

const CommTimeouts kModemLink{100, 10, 100, 10, 100};

milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// A pty's far end behind ser2net, and the device opened on the network port.
class NetworkSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server = std::make_unique<Ser2netServerC>(m_pty.slavePath());
        if (!m_server->available()) {
            GTEST_SKIP() << m_server->problem();
        }
        const SerialError opened = m_device.open(m_server->portText());
        ASSERT_TRUE(opened.ok()) << opened.message;
        m_device.setTimeouts(kModemLink);
    }

    std::string read(std::size_t size) {
        std::string buffer(size, '\0');
        const IoResult result = m_device.read(buffer.data(), size);
        EXPECT_TRUE(result.error.ok()) << result.error.message;
        buffer.resize(result.count);
        return buffer;
    }

    // ser2net opens the pty when the connection comes; its settings lag a moment behind.
    bool ptyRateBecomes(std::uint32_t rate) {
        const auto until = Clock::now() + milliseconds(5000);
        LineSettings line;
        while (Clock::now() < until) {
            if (TtyAttributes::read(m_pty.master(), line) == 0 && line.baudRate == rate) {
                return true;
            }
            std::this_thread::sleep_for(milliseconds(5));
        }
        return false;
    }

    PtyPair m_pty;
    std::unique_ptr<Ser2netServerC> m_server;
    SerialDevice m_device;
};

TEST_F(NetworkSerialPortTest, LineSettingsReachTheServedPort) {
    for (const std::uint32_t rate : {1200u, 9600u, 14400u, 57600u, 115200u}) {
        LineSettings wanted;
        wanted.baudRate = rate;
        wanted.stopBits = rate == 14400u ? StopBits::Two : StopBits::One;
        const SerialError e = m_device.configure(wanted);
        ASSERT_TRUE(e.ok()) << rate << ": " << e.message;
        EXPECT_TRUE(ptyRateBecomes(rate)) << rate;
        LineSettings onPty;
        ASSERT_EQ(TtyAttributes::read(m_pty.master(), onPty), 0);
        EXPECT_EQ(onPty.stopBits, wanted.stopBits) << rate;
        LineSettings reported;
        ASSERT_TRUE(m_device.readSettings(reported).ok());
        EXPECT_EQ(reported, wanted);
    }
}

TEST_F(NetworkSerialPortTest, BytesTravelBothWaysWithTheLocalTimeouts) {
    ASSERT_TRUE(m_device.configure(LineSettings{}).ok());
    const IoResult sent = m_device.write("wb?\r\n", 5);
    EXPECT_TRUE(sent.error.ok()) << sent.error.message;
    EXPECT_EQ(sent.count, 5u);
    EXPECT_EQ(m_pty.readAtFarEnd(300), "wb?\r\n");

    m_pty.writeFromFarEnd("OK\r\n");
    ASSERT_EQ(m_device.waitForInputOrError(milliseconds(5000)), WaitOutcome::Input);
    m_device.setTimeouts({0, 0, 2000, 0, 0});
    EXPECT_EQ(read(4), "OK\r\n");

    // Nothing comes: the read still ends after the total of the link's time-outs.
    m_device.setTimeouts(kModemLink);
    const auto start = Clock::now();
    EXPECT_EQ(read(1), "");
    EXPECT_GE(since(start), milliseconds(110));
    EXPECT_LT(since(start), milliseconds(5000));
}

TEST_F(NetworkSerialPortTest, PurgeDropsWaitingInputAndTheWakerEndsAWait) {
    m_pty.writeFromFarEnd("stale");
    ASSERT_EQ(m_device.waitForInputOrError(milliseconds(5000)), WaitOutcome::Input);
    ASSERT_TRUE(m_device.purge(true, true).ok());
    EXPECT_EQ(m_device.queueStatus().inQueue, 0u);

    Waker waker;
    std::thread stopper([&] {
        std::this_thread::sleep_for(milliseconds(30));
        waker.wake();
    });
    EXPECT_EQ(m_device.waitForInputOrError(SerialDevice::kWaitForever, &waker), WaitOutcome::Woken);
    stopper.join();
}

TEST_F(NetworkSerialPortTest, ADroppedConnectionIsAnUnplug) {
    ASSERT_TRUE(m_device.configure(LineSettings{}).ok());
    std::thread killer([&] {
        std::this_thread::sleep_for(milliseconds(50));
        m_server->kill();
    });
    // A reader blocked without a limit learns of the drop and does not hang.
    EXPECT_EQ(m_device.waitForInputOrError(milliseconds(10000)), WaitOutcome::DeviceGone);
    killer.join();

    std::string buffer(4, '\0');
    const IoResult readResult = m_device.read(buffer.data(), buffer.size());
    EXPECT_TRUE(readResult.error.deviceGone()) << readResult.error.message;
    const auto start = Clock::now();
    const IoResult writeResult = m_device.write("x", 1);
    EXPECT_TRUE(writeResult.error.deviceGone()) << writeResult.error.message;
    EXPECT_TRUE(m_device.configure(LineSettings{}).deviceGone());
    EXPECT_LT(since(start), milliseconds(5000));
    EXPECT_NE(readResult.error.message.find("connection to the device server was lost"),
              std::string::npos)
        << readResult.error.message;
}

// A link of 150 ms each way with 20 ms of jitter between the program and the server: the round
// trip is measured at the open, and silences on the line (a guard time around an escape) reach
// the far end as silences, not merged by the link.
TEST(NetworkSerialPortLink, RoundTripIsMeasuredAndSilencesSurviveTheLink) {
    PtyPair pty;
    Ser2netServerC server(pty.slavePath(), true, false);
    if (!server.available()) {
        GTEST_SKIP() << server.problem();
    }
    DelayProxyC link(server.port(), milliseconds(150), milliseconds(20));
    ASSERT_TRUE(link.available()) << link.problem();
    SerialDevice device;
    const SerialError opened = device.open(link.portText());
    ASSERT_TRUE(opened.ok()) << opened.message;
    ASSERT_TRUE(device.configure(LineSettings{}).ok());
    // Each way takes at least 130 ms; twice the round trip would be 520 ms at least.
    EXPECT_GE(device.roundTrip(), milliseconds(260));
    EXPECT_LT(device.roundTrip(), milliseconds(520));
    EXPECT_GT(device.farEndAllowance(), device.roundTrip());

    std::thread writer([&device] {
        for (const char* piece : {"AT\r", "///", "AT\r"}) {
            device.write(piece, 3);
            std::this_thread::sleep_for(milliseconds(1100));
        }
    });
    // Each read ends after a silence shorter than the guard time less twice the jitter, so a
    // piece merged with the next by the link would show.
    for (const char* piece : {"AT\r", "///", "AT\r"}) {
        EXPECT_EQ(pty.readAtFarEnd(1000), piece);
    }
    writer.join();

    PtyPair localPty;
    SerialDevice local;
    ASSERT_TRUE(local.open(localPty.slavePath()).ok());
    EXPECT_EQ(local.roundTrip(), milliseconds(0));
    EXPECT_EQ(local.farEndAllowance(), milliseconds(0));
}

TEST(NetworkSerialPortOpen, FailuresSayWhatIsWrong) {
    PtyPair pty;
    Ser2netServerC rawTcp(pty.slavePath(), false);
    if (!rawTcp.available()) {
        GTEST_SKIP() << rawTcp.problem();
    }
    const std::string refused = "rfc2217://127.0.0.1:" + std::to_string(Ser2netServerC::FreePort());
    struct Case {
        std::string portText;
        int code;
        std::string words;
    };
    const Case cases[] = {
        {"rfc2217://no-such-host.invalid:2000", ENOENT, "host no-such-host.invalid was not found"},
        {refused, ECONNREFUSED, "refused the connection"},
        {rawTcp.portText(), EPROTONOSUPPORT, "does not offer serial port control (RFC 2217)"},
        {"rfc2217://127.0.0.1", EINVAL, "write rfc2217://HOST:PORT"},
        {"rfc2217://a,b:2000", EINVAL, "write rfc2217://HOST:PORT"},
        {"rfc2217://127.0.0.1:70000", EINVAL, "write rfc2217://HOST:PORT"},
    };
    for (const Case& c : cases) {
        SerialDevice device;
        const auto start = Clock::now();
        const SerialError e = device.open(c.portText);
        EXPECT_EQ(e.code, c.code) << c.portText << ": " << e.message;
        EXPECT_NE(e.message.find(c.words), std::string::npos) << e.message;
        EXPECT_FALSE(device.isOpen());
        EXPECT_LT(since(start), milliseconds(15000)) << c.portText;
    }
}

} // namespace
} // namespace oryx::platform
