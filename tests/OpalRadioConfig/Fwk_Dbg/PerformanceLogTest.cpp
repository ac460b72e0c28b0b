#include "CaptureConsumer.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Dbg/FWK_DBG_PerformanceTick.h"
#include "Fwk_Uti/FWK_UTI_StringC.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <thread>

using namespace FWK::DBG;
using testing::ElementsAre;

namespace {

uint32_t g_ulTick = 0;
uint32_t testTick() {
    return g_ulTick;
}

class PerformanceLogTest : public testing::Test {
protected:
    void SetUp() override {
        DbgLogMgrC::instance()->removeAllRules();
        setPerformanceTickSource(testTick);
        g_ulTick = 1000;
    }
    void TearDown() override {
        setPerformanceTickSource(nullptr);
        DbgLogMgrC::instance()->removeAllRules();
    }

    boost::shared_ptr<CaptureConsumer> routeAt(int32_t lLevel) {
        auto pConsumer = CaptureConsumer::add("perf");
        DbgLogMgrC::instance()->configure("PerfUnderTest", lLevel, "perf", 1, 0, 0, HEADER_NONE);
        return pConsumer;
    }

    PerformanceLoggableC m_loggable{"PerfUnderTest"};
};

TEST_F(PerformanceLogTest, NestedTracesFormAnIndentedCallTree) {
    auto pConsumer = routeAt(DBG_FINE);
    {
        PerformanceLogC outer(&m_loggable, "Outer");
        {
            PerformanceLogC inner(&m_loggable, "Inner");
            inner << "error code: " << 5 << endLine;
            g_ulTick += 3;
        }
        g_ulTick += 9;
    }
    EXPECT_THAT(pConsumer->records(),
                ElementsAre("START Outer\n", "  START Inner\n", "    error code: 5\n",
                            "  3.000 ms Inner\n", "12.000 ms Outer\n"));
    EXPECT_EQ(m_loggable.get(), 0);
}

TEST_F(PerformanceLogTest, ThirdNestedStartIsIndentedByFourSpaces) {
    auto pConsumer = routeAt(DBG_INFO);
    PerformanceLogC first(&m_loggable, "a");
    PerformanceLogC second(&m_loggable, "b");
    PerformanceLogC third(&m_loggable, "c");
    EXPECT_EQ(pConsumer->records().back(), "    START c\n");
}

TEST_F(PerformanceLogTest, InfoOnlyShowsStartAndEndButNoStreamedValues) {
    auto pConsumer = routeAt(DBG_INFO);
    {
        PerformanceLogC trace(&m_loggable, "Op");
        trace << "value " << 42 << std::hex << 255 << endLine;
    }
    EXPECT_THAT(pConsumer->records(), ElementsAre("START Op\n", "0.000 ms Op\n"));
}

TEST_F(PerformanceLogTest, WarnOnlyLeavesTheTraceInactiveAndTheDepthAlone) {
    auto pConsumer = routeAt(DBG_WARN);
    {
        PerformanceLogC trace(&m_loggable, "Op");
        EXPECT_EQ(m_loggable.get(), 0);
        trace << "x" << endLine;
    }
    PerformanceLogC nullTrace(nullptr, "none");
    nullTrace << 1 << endLine;
    EXPECT_TRUE(pConsumer->records().empty());
}

TEST_F(PerformanceLogTest, FlushWaitsForALineFeedAndWritesOneRecord) {
    auto pConsumer = routeAt(DBG_FINE);
    PerformanceLogC trace(&m_loggable, "Op", true);
    trace << "abc";
    trace.flush();
    EXPECT_TRUE(pConsumer->records().empty());
    trace << '\n' << "def\n";
    trace.flush();
    EXPECT_THAT(pConsumer->records(), ElementsAre("  abc\ndef\n"))
        << "only the first line is indented";
}

TEST_F(PerformanceLogTest, StreamedValuesFollowTheBufferFormat) {
    auto pConsumer = routeAt(DBG_FINE);
    PerformanceLogC trace(&m_loggable, "Op", true);
    const std::wstring strWide = L"\u00e9t\u00e9";
    trace << std::hex << 255 << std::dec << ' ' << true << ' ' << 'c' << ' ' << std::string("s")
          << ' ' << strWide.c_str() << ' ' << FWK::UTI::StringC(u"wide") << ' ';
    trace.width(4);
    trace << "r"
          << "%d" << endLine;
    EXPECT_THAT(pConsumer->records(), ElementsAre("  ff 1 c s \u00e9t\u00e9 wide    r%d\n"));
}

TEST_F(PerformanceLogTest, ValueThatFailsToInsertCostsOnlyItself) {
    auto pConsumer = routeAt(DBG_FINE);
    PerformanceLogC trace(&m_loggable, "Op", true);
    std::stringbuf empty;
    trace << "a" << &empty << "b" << endLine;
    trace << "c" << endLine;
    EXPECT_THAT(pConsumer->records(), ElementsAre("  ab\n", "  c\n"));
}

TEST_F(PerformanceLogTest, BareTraceWritesOnlyTheElapsedTime) {
    auto pConsumer = routeAt(DBG_INFO);
    {
        PerformanceLogC trace(&m_loggable, "Op", true);
        g_ulTick += 7;
    }
    EXPECT_THAT(pConsumer->records(), ElementsAre("7.000\n"));
}

TEST_F(PerformanceLogTest, ElapsedTimeIsRightAcrossTheTickWrap) {
    auto pConsumer = routeAt(DBG_INFO);
    g_ulTick = 0xFFFFFFF0u;
    {
        PerformanceLogC trace(&m_loggable, "Wrap");
        g_ulTick = 0x10;
    }
    EXPECT_EQ(pConsumer->records().back(), "32.000 ms Wrap\n");
}

TEST_F(PerformanceLogTest, UnbalancedDecIsReportedAndKeepsZero) {
    auto pErrors = CaptureConsumer::add("errors");
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ALL, "errors", 1, 0, 0, 0);
    std::thread([&] { m_loggable.dec(); }).join();
    m_loggable.get();
    m_loggable.dec();
    EXPECT_EQ(m_loggable.get(), 0);
    EXPECT_THAT(pErrors->records(),
                ElementsAre("<<ASSERT at Fwk_Dbg\\fwk_dbg_perflog(103): false>>\n",
                            "<<ASSERT at Fwk_Dbg\\fwk_dbg_perflog(108): false>>\n"));
}

TEST_F(PerformanceLogTest, DepthIsKeptPerThread) {
    auto pConsumer = routeAt(DBG_INFO);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([this] {
            for (int n = 0; n < 200; ++n) {
                PerformanceLogC outer(&m_loggable, "outer");
                PerformanceLogC inner(&m_loggable, "inner");
            }
            EXPECT_EQ(m_loggable.get(), 0);
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const std::string& strRecord : pConsumer->records()) {
        EXPECT_TRUE(strRecord == "START outer\n" || strRecord == "  START inner\n" ||
                    strRecord == "  0.000 ms inner\n" || strRecord == "0.000 ms outer\n")
            << strRecord;
    }
}

} // namespace
