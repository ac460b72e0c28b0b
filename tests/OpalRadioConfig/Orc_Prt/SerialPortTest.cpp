// Opening, configuring and reconfiguring the serial port, with a pty as the device.

#include "AssertionRecorder.h"
#include "PortTestSupport.h"
#include "platform/TtyAttributes.h"

#include <gtest/gtest.h>

#include <thread>

using namespace port_test;
using ORC::CFG::RS232SettingsS;
using ORC::PRT::SerialPortC;
using oryx::platform::LineSettings;
using oryx::platform::Parity;
using oryx::platform::StopBits;
using oryx::platform::test::PtyPair;

namespace {
LineSettings farEndSettings(const PtyPair& rPty) {
    LineSettings line;
    EXPECT_EQ(0, oryx::platform::TtyAttributes::read(rPty.master(), line));
    return line;
}

RS232SettingsS codes(int32_t lBaud, int32_t lData, int32_t lStop, int32_t lParity, int32_t lFlow,
                     bool bDtr = false) {
    return {lBaud, lData, lStop, lParity, lFlow, bDtr};
}
} // namespace

TEST(SerialPortCodesTest, EveryCodeOfTheTablesMapsToItsLineValue) {
    struct RowS {
        RS232SettingsS codes;
        uint32_t ulRate;
        int iDataBits;
        Parity parity;
        StopBits stopBits;
        bool bRtsCts;
    };
    const RowS rows[] = {
        {codes(9, 1, 1, 1, 2), 115200, 8, Parity::None, StopBits::One, false},
        {codes(4, 2, 2, 2, 1), 4800, 7, Parity::Odd, StopBits::Two, true},
        {codes(5, 3, 1, 3, 0), 9600, 6, Parity::Even, StopBits::One, false},
        {codes(6, 4, 1, 1, 3), 19200, 5, Parity::None, StopBits::One, false},
        {codes(8, 1, 1, 1, 2), 57600, 8, Parity::None, StopBits::One, false},
        {codes(12, 1, 1, 1, 2), 921600, 8, Parity::None, StopBits::One, false},
        {codes(7, 1, 1, 1, 2), 0, 8, Parity::None, StopBits::One, false},
        {codes(10, 1, 1, 1, 2), 0, 8, Parity::None, StopBits::One, false},
    };
    for (const RowS& rRow : rows) {
        LineSettings before;
        before.rtsOn = false;
        const LineSettings line = SerialPortC::lineSettingsFor(rRow.codes, before);
        SCOPED_TRACE(rRow.codes.m_lBaudRate);
        EXPECT_EQ(rRow.ulRate, line.baudRate);
        EXPECT_EQ(rRow.iDataBits, line.dataBits);
        EXPECT_EQ(rRow.parity, line.parity);
        EXPECT_EQ(rRow.stopBits, line.stopBits);
        EXPECT_EQ(rRow.bRtsCts, line.rtsCtsHandshake);
        // Without the handshake RTS is constantly on.
        EXPECT_EQ(!rRow.bRtsCts, line.rtsOn);
    }
    EXPECT_TRUE(SerialPortC::lineSettingsFor(codes(9, 1, 1, 1, 2, true), {}).dtrOn);
    EXPECT_EQ(6, SerialPortC::baudCodeOfRate(19200));
    EXPECT_EQ(0, SerialPortC::baudCodeOfRate(38400));
}

TEST(SerialPortCodesTest, CodesOutsideTheTablesFallBackAndAreReported) {
    AssertionRecorder recorder;
    const LineSettings line = SerialPortC::lineSettingsFor(codes(9, 9, 3, 7, 2), {});
    EXPECT_EQ(8, line.dataBits);
    EXPECT_EQ(Parity::None, line.parity);
    EXPECT_EQ(StopBits::One, line.stopBits);
    EXPECT_EQ((std::vector<std::string>{"false", "false", "false"}), recorder.expressions());
    for (const std::string& rSite : recorder.sites()) {
        EXPECT_EQ(0u, rSite.find("ORC_PRT_SerialPort(")) << rSite;
    }
}

TEST(SerialPortTest, ConnectAppliesTheCodesAndSettersReconfigureTheOpenDevice) {
    PtyPair pty;
    SerialPortC port;
    port.SetPortName(nameOf(pty));
    port.SetRs232Settings(5, 1, 2, 1, 2, false);
    ASSERT_TRUE(port.Connect());
    EXPECT_TRUE(port.IsConnected());
    EXPECT_EQ(9600u, farEndSettings(pty).baudRate);
    EXPECT_EQ(StopBits::Two, farEndSettings(pty).stopBits);

    port.SetBaudrate(19200);
    EXPECT_EQ(19200u, farEndSettings(pty).baudRate);
    port.SetBaudrate(38400); // no code: the stored code stays
    RS232SettingsS stored;
    port.GetRs232Settings(stored);
    EXPECT_EQ(6, stored.m_lBaudRate);
    EXPECT_EQ(19200u, farEndSettings(pty).baudRate);

    port.EnableRtsCts(true);
    EXPECT_TRUE(farEndSettings(pty).rtsCtsHandshake);
    port.GetRs232Settings(stored);
    EXPECT_EQ(1, stored.m_lFlowControl);
    port.EnableRtsCts(false);
    EXPECT_FALSE(farEndSettings(pty).rtsCtsHandshake);
    EXPECT_TRUE(port.Disconnect());
    EXPECT_FALSE(port.IsConnected());
}

TEST(SerialPortTest, BaudCodeWithoutRateIsRefusedByTheDevice) {
    PtyPair pty;
    SerialPortC port;
    port.SetPortName(nameOf(pty));
    port.SetRs232Settings(7, 1, 1, 1, 2, false);
    EXPECT_FALSE(port.Connect());
    EXPECT_FALSE(port.IsConnected());
    port.SetBaudrate(115200);
    EXPECT_TRUE(port.Connect());
}

TEST(SerialPortTest, UnknownOrEmptyNameFailsAfterThreeAttempts200msApart) {
    for (const char* pszName : {"/dev/oryx-no-such-port", ""}) {
        LogCaptureC log("SerialPortC", FWK::DBG::DBG_FINE);
        SerialPortC port;
        port.SetPortName(FWK::UTI::StringC(pszName));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(port.Connect());
        EXPECT_GE(std::chrono::steady_clock::now() - start, 600ms);
        EXPECT_EQ(3, log.count("Open port failed: 2\n")) << pszName; // ENOENT
    }
}

TEST(SerialPortTest, NewQueueSizesReopenAnOpenPortAndTheSameSizesDoNothing) {
    PtyPair pty;
    CollectorC collector;
    SerialPortC port;
    port.SetPortName(nameOf(pty));
    port.ConfigureReadWriteBuffers(8192, 8192); // closed: only stored
    ASSERT_TRUE(port.Connect());
    port.ConnectReadConsumer(&collector);
    LogCaptureC log("SerialPortC", FWK::DBG::DBG_INFO);
    port.ConfigureReadWriteBuffers(8192, 8192);
    EXPECT_EQ(0, log.count("START SerialPortC::Connect"));
    port.ConfigureReadWriteBuffers(8192, 16384);
    EXPECT_EQ(1, log.count("START SerialPortC::Connect"));
    EXPECT_EQ(1, log.count("START SerialPortC::Disconnect"));
    ASSERT_TRUE(port.IsConnected());
    pty.writeFromFarEnd("after");
    ASSERT_TRUE(collector.waitForBytes(5)) << "nothing delivered after the reopen";
    EXPECT_EQ("after", collector.text());
}

TEST(SerialPortTest, TransmitPurgeKeepsBytesAlreadyWritten) {
    PtyPair pty;
    SerialPortC port;
    port.SetPortName(nameOf(pty));
    ASSERT_TRUE(port.Connect());
    ASSERT_TRUE(port.Write("AT\r", 3));
    port.FlushBuffers(SerialPortC::PURGE_TXCLEAR);
    EXPECT_EQ("AT\r", pty.readAtFarEnd(500));
}

// A far end that takes nothing holds the write past its time, as a module holding CTS low does.
// The write fails, so what it left queued must never reach the far end once it reads again: only
// what the far end's line discipline had taken before (one 4 KiB buffer) may still arrive.
TEST(SerialPortTest, AWriteThatRanOutOfItsTimeIsNeverDeliveredLater) {
    constexpr std::size_t kLineDisciplineBuffer = 4096;
    PtyPair pty;
    SerialPortC port;
    port.SetPortName(nameOf(pty));
    ASSERT_TRUE(port.Connect());
    const std::string strCommand(256 * 1024, 'w');
    EXPECT_FALSE(port.Write(strCommand.data(), static_cast<uint32_t>(strCommand.size())));
    EXPECT_LE(pty.readAtFarEnd(200).size(), kLineDisciplineBuffer);
}

TEST(SerialPortTest, ReaderStartsOnceAndStopsWithoutAThread) {
    PtyPair pty;
    TestPortC port;
    EXPECT_TRUE(port.StopReading());
    port.SetPortName(nameOf(pty));
    LogCaptureC log("PortBaseC", FWK::DBG::DBG_INFO);
    ASSERT_TRUE(port.Connect());
    EXPECT_FALSE(port.StartReading());
    EXPECT_TRUE(port.Disconnect());
    EXPECT_EQ(2, log.count("START PortBaseC::StartReading"));
    EXPECT_EQ(1, log.count("START PortBaseC::StopReading"));
    EXPECT_EQ(1, log.count(" ms PortBaseC::DoRead")); // the reader ended before the join
    EXPECT_TRUE(port.StopReading());
}
