// Hand-over of received bytes from the port's reader thread to waiting consumers, and what an
// unplugged device does to readers, requests and writes.

#include "Fwk_Bio/FWK_BIO_ReaderC.h"
#include "Fwk_Bio/FWK_BIO_XferProcC.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "PortTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <time.h>

using namespace port_test;
using ORC::CFG::CFG_OK;
using ORC::CFG::CFG_TIMEOUT;
using ORC::PRT::SerialPortC;
using oryx::platform::test::PtyPair;

namespace {
class ConnectedPortTest : public testing::Test {
protected:
    void connect(SerialPortC& rPort) {
        rPort.SetPortName(nameOf(m_pty));
        ASSERT_TRUE(rPort.Connect());
    }
    PtyPair m_pty;
};

std::chrono::milliseconds processCpuTime() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::chrono::milliseconds(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}
} // namespace

TEST_F(ConnectedPortTest, ChunkWithoutConsumerIsDroppedAndLaterBytesReachTheNextConsumer) {
    SerialPortC port;
    LogCaptureC log("SerialPortC", FWK::DBG::DBG_FINE);
    connect(port);
    m_pty.writeFromFarEnd("lost");
    ASSERT_TRUE(log.waitFor("read 4 bytes.")) << "the reader never read the first chunk";
    CollectorC collector;
    port.ConnectReadConsumer(&collector);
    m_pty.writeFromFarEnd("kept");
    ASSERT_TRUE(collector.waitForBytes(4));
    EXPECT_EQ("kept", collector.text());
}

TEST_F(ConnectedPortTest, QueueLongerThanTheChunkIsReadInBurstsOfAtMostTheChunk) {
    SerialPortC port(16);
    CollectorC collector;
    connect(port);
    port.ConnectReadConsumer(&collector);
    std::string strSent;
    for (int i = 0; i < 1000; ++i) {
        strSent += static_cast<char>('a' + i % 26);
    }
    m_pty.writeFromFarEnd(strSent);
    ASSERT_TRUE(collector.waitForBytes(strSent.size())) << collector.text().size() << " bytes";
    EXPECT_EQ(strSent, collector.text());
    for (const std::string& rChunk : collector.chunks()) {
        EXPECT_LE(rChunk.size(), 16u);
    }
}

namespace {
// The live consumers of the hand-over test: a delivery to anything else is a delivery to a
// consumer that is gone.
std::mutex g_liveMutex;
std::set<const void*> g_live;

// Waits for one frame "S<number>:<payload>\n"; what else arrives must be filler ('t').
class FrameTransferC : public FWK::BIO::XferProcC<FWK::BIO::ReadConsumerC, FWK::BIO::ReaderC> {
public:
    FrameTransferC() {
        std::lock_guard lock(g_liveMutex);
        g_live.insert(this);
    }
    ~FrameTransferC() override {
        std::lock_guard lock(g_liveMutex);
        g_live.erase(this);
    }
    void procReadData(const char* pData, uint32_t ulLength) override {
        {
            std::lock_guard lock(g_liveMutex);
            if (g_live.count(this) == 0 || m_bDisconnected) {
                s_iStrayDeliveries++;
                return;
            }
        }
        m_strReceived.append(pData, ulLength);
        if (m_strReceived.find('\n') != std::string::npos) {
            signal();
        }
    }
    // The frame with the filler around it stripped, or the whole text when it is not clean.
    std::string frame() const {
        const auto first = m_strReceived.find_first_not_of('t');
        const auto last = m_strReceived.find('\n');
        if (first == std::string::npos || last == std::string::npos ||
            m_strReceived.find_first_not_of('t', last + 1) != std::string::npos) {
            return m_strReceived;
        }
        return m_strReceived.substr(first, last + 1 - first);
    }

    std::atomic<bool> m_bDisconnected{false};
    static std::atomic<int> s_iStrayDeliveries;

private:
    std::string m_strReceived;
};
std::atomic<int> FrameTransferC::s_iStrayDeliveries{0};

int handOverChunks() {
    if (const char* pszCount = std::getenv("ORYX_HANDOVER_CHUNKS")) {
        return std::atoi(pszCount);
    }
#ifdef ORYX_TSAN_BUILD
    return 100000;
#else
    return 10000;
#endif
}
} // namespace

// Consumers are connected, waited on, disconnected and destroyed in a loop while the far end
// writes each one's frame in chunks of random size, followed by filler that may still be on its
// way when the next consumer connects. Run under ThreadSanitizer with the full count.
TEST_F(ConnectedPortTest, HandOverLosesNothingAndNeverReachesAGoneConsumer) {
    const int iChunks = handOverChunks();
    SerialPortC port;
    connect(port);
    FWK::TSK::BinarySemaphoreC frameWanted(false);
    std::atomic<int> iFrameNumber{0};
    std::atomic<int> iChunksWritten{0};
    std::atomic<bool> bDone{false};
    std::thread farEnd([&] {
        std::mt19937 random(12345);
        auto writeInChunks = [&](const std::string& rText) {
            for (std::size_t i = 0; i < rText.size();) {
                const std::size_t unSize =
                    std::min<std::size_t>(1 + random() % 24, rText.size() - i);
                m_pty.writeFromFarEnd(std::string_view(rText).substr(i, unSize));
                i += unSize;
                ++iChunksWritten;
            }
        };
        while (!bDone) {
            if (!frameWanted.waitFor(100)) {
                continue;
            }
            const std::string strPayload(random() % 40, static_cast<char>('a' + random() % 26));
            writeInChunks("S" + std::to_string(iFrameNumber.load()) + ":" + strPayload + "\n");
            writeInChunks(std::string(random() % 8, 't'));
        }
    });
    int iBad = 0;
    std::string strFirstBad;
    while (iChunksWritten < iChunks && iBad == 0) {
        auto pTransfer = std::make_unique<FrameTransferC>();
        port.ConnectReadConsumer(pTransfer.get());
        frameWanted.release();
        const int32_t lResult = pTransfer->wait(5000);
        port.ConnectReadConsumer(nullptr);
        pTransfer->m_bDisconnected = true;
        const std::string strFrame = pTransfer->frame();
        const std::string strPrefix = "S" + std::to_string(iFrameNumber.load()) + ":";
        if (lResult != CFG_OK || strFrame.rfind(strPrefix, 0) != 0 || strFrame.back() != '\n') {
            ++iBad;
            strFirstBad = std::to_string(lResult) + " [" + strFrame + "]";
        }
        ++iFrameNumber;
    }
    bDone = true;
    farEnd.join();
    EXPECT_EQ(0, iBad) << "frame " << iFrameNumber - 1 << ": " << strFirstBad;
    EXPECT_EQ(0, FrameTransferC::s_iStrayDeliveries.load());
    EXPECT_TRUE(port.Disconnect());
}

TEST_F(ConnectedPortTest, UnpluggedWhileTheReaderWaitsCostsNoCpuAndDisconnectJoins) {
    SerialPortC port;
    connect(port);
    m_pty.closeMaster();
    const auto cpuBefore = processCpuTime();
    std::this_thread::sleep_for(500ms);
    // A reader that polled the gone device without pausing would burn the whole half second.
    EXPECT_LT(processCpuTime() - cpuBefore, 250ms);
    EXPECT_TRUE(port.Disconnect());
    EXPECT_FALSE(port.IsConnected());
}

TEST_F(ConnectedPortTest, UnpluggedWhileARequestWaitsTimesOutAndDisconnectJoins) {
    SerialPortC port;
    connect(port);
    FrameTransferC request;
    port.ConnectReadConsumer(&request);
    ASSERT_TRUE(port.Write("AT\r", 3));
    m_pty.closeMaster();
    EXPECT_EQ(CFG_TIMEOUT, request.wait(1000));
    port.ConnectReadConsumer(nullptr);
    EXPECT_TRUE(port.Disconnect());
}

TEST_F(ConnectedPortTest, UnpluggedDuringAWriteFailsTheWriteAndDisconnectJoins) {
    SerialPortC port;
    connect(port);
    // More than a pty buffers while nobody reads: the write is still blocked when the far end
    // goes.
    const std::string strData(1 << 20, 'x');
    FWK::TSK::BinarySemaphoreC writing(false);
    auto write = std::async(std::launch::async, [&] {
        writing.release();
        return port.Write(strData.data(), static_cast<uint32_t>(strData.size()));
    });
    ASSERT_TRUE(writing.waitFor(5000));
    std::this_thread::sleep_for(20ms);
    m_pty.closeMaster();
    ASSERT_EQ(std::future_status::ready, write.wait_for(5s)) << "the write hangs";
    EXPECT_FALSE(write.get());
    EXPECT_FALSE(port.Write("AT\r", 3));
    EXPECT_TRUE(port.Disconnect());
}

namespace {
// Holds the reader inside a delivery until the test lets it go.
class BlockingConsumerC : public FWK::BIO::ReadConsumerC {
public:
    void procReadData(const char*, uint32_t) override {
        m_entered.release();
        m_leave.waitFor(10000);
    }
    FWK::TSK::BinarySemaphoreC m_entered{false};
    FWK::TSK::BinarySemaphoreC m_leave{false};
};
} // namespace

TEST_F(ConnectedPortTest, ReaderLateForTheJoinIsReportedAndWaitedForBeforeThePortGoes) {
    LogCaptureC log("PortBaseC", FWK::DBG::DBG_FINE);
    BlockingConsumerC consumer;
    auto pPort = std::make_unique<SerialPortC>();
    connect(*pPort);
    pPort->ConnectReadConsumer(&consumer);
    m_pty.writeFromFarEnd("x");
    ASSERT_TRUE(consumer.m_entered.waitFor(5000)) << "nothing delivered";
    EXPECT_FALSE(pPort->Disconnect());
    EXPECT_EQ(1, log.count("Error terminating read thread: "));
    std::thread releaser([&] {
        std::this_thread::sleep_for(50ms);
        consumer.m_leave.release();
    });
    // The late reader still runs the port's code: the port waits for it instead of leaving it
    // to run on freed memory.
    pPort.reset();
    releaser.join();
}
