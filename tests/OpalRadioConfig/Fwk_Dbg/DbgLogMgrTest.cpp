#include "../WaitUntil.h"
#include "CaptureConsumer.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Dbg/FWK_DBG_RecordHeader.h"
#include "Fwk_Uti/FWK_TIM_ClockC.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace FWK::DBG;
using testing::ContainsRegex;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

// Threads that repeat one body until stopped. They are stopped and joined when the object goes,
// so that a failed assertion never leaves them running.
class RepeatingThreads {
public:
    RepeatingThreads(int iCount, const std::function<void()>& rBody) {
        for (int i = 0; i < iCount; ++i) {
            m_threads.emplace_back([this, rBody] {
                while (!m_bStop.load()) {
                    rBody();
                }
            });
        }
    }
    ~RepeatingThreads() { stop(); }
    RepeatingThreads(const RepeatingThreads&) = delete;
    RepeatingThreads& operator=(const RepeatingThreads&) = delete;

    void stop() {
        m_bStop = true;
        for (auto& thread : m_threads) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

private:
    std::atomic<bool> m_bStop{false};
    std::vector<std::thread> m_threads;
};

class DbgLogMgrTest : public testing::Test {
protected:
    void SetUp() override { DbgLogMgrC::instance()->removeAllRules(); }
    void TearDown() override { DbgLogMgrC::instance()->removeAllRules(); }

    static void rule(const char* pszPattern, int32_t lLevel, const char* pszConsumer,
                     int32_t lHeaderType = HEADER_NONE) {
        DbgLogMgrC::instance()->configure(pszPattern, lLevel, pszConsumer, 1, 0, 0, lHeaderType);
    }
};

TEST_F(DbgLogMgrTest, WithoutRulesEveryLevelIsDisabledAfterOneResolve) {
    DbgLogFileC logger("SerialPortC");
    EXPECT_EQ(logger.threshold(), DBG_UNRESOLVED);
    EXPECT_FALSE(logger.isEnabled(DBG_FATAL));
    EXPECT_EQ(logger.threshold(), DBG_NO_CONSUMER);
    EXPECT_FALSE(logger.isEnabled(DBG_ALL));
}

TEST_F(DbgLogMgrTest, LowestLevelOfAllMatchingPatternsWins) {
    auto pConsole = CaptureConsumer::add("console");
    rule("Serial*", DBG_INFO, "console");
    rule("SerialPortC", DBG_FINE, "console");
    DbgLogFileC serialPort("SerialPortC");
    DbgLogFileC serialPort2("SerialPort2");
    DbgLogFileC portBase("PortBaseC");

    EXPECT_TRUE(serialPort.isEnabled(DBG_FINE));
    EXPECT_EQ(serialPort.threshold(), DBG_FINE);
    EXPECT_FALSE(serialPort2.isEnabled(DBG_FINE));
    EXPECT_EQ(serialPort2.threshold(), DBG_INFO);
    EXPECT_FALSE(portBase.isEnabled(DBG_FATAL));

    logPrintf(serialPort, DBG_FINE, "one\n");
    EXPECT_THAT(pConsole->records(), ElementsAre("one\n")) << "merged, so delivered once";
}

TEST_F(DbgLogMgrTest, PatternRules) {
    EXPECT_TRUE(DbgLogMgrC::patternMatches("*", "anything"));
    EXPECT_TRUE(DbgLogMgrC::patternMatches("Opal*Impl", "OpalDeviceRequestC"));
    EXPECT_FALSE(DbgLogMgrC::patternMatches("Opal", "OpalDeviceRequestC"));
    EXPECT_FALSE(DbgLogMgrC::patternMatches("SerialPortC", "SerialPort"));
}

TEST_F(DbgLogMgrTest, RecordReachesConsumersAttachedAtOrBelowItsLevelHighestFirst) {
    auto pInfo = CaptureConsumer::add("info");
    auto pError = CaptureConsumer::add("error");
    auto pAll = CaptureConsumer::add("all");
    rule("Key", DBG_INFO, "info");
    rule("Key", DBG_ERROR, "error");
    rule("Key", DBG_ALL, "all");
    DbgLogFileC logger("Key");

    EXPECT_TRUE(logger.isEnabled(DBG_ALL));
    logPrintf(logger, DBG_WARN, "warn %d\n", 5);
    logPrintf(logger, DBG_ALL, "all\n");
    EXPECT_THAT(pInfo->records(), ElementsAre("warn 5\n"));
    EXPECT_TRUE(pError->records().empty());
    EXPECT_THAT(pAll->records(), ElementsAre("warn 5\n", "all\n"));
}

TEST_F(DbgLogMgrTest, RulesNamingTheSameConsumerShareItAndKeepItsFirstHeaderType) {
    rule("First", DBG_INFO, "printf", HEADER_NONE);
    rule("Second", DBG_INFO, "printf", HEADER_FULL);
    DbgLogFileC first("First");
    DbgLogFileC second("Second");

    testing::internal::CaptureStdout();
    logPrintf(first, DBG_INFO, "a 100%% %s\n", "%d");
    logPrintf(second, DBG_INFO, "b\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "a 100% %d\nb\n");
    EXPECT_EQ(DbgLogMgrC::instance()->count(), 1)
        << "the manager holds its consumers as components";
}

TEST_F(DbgLogMgrTest, SensorBoardRuleChangesNothing) {
    rule("*", DBG_ALL, "/sensorboard/");
    DbgLogFileC logger("Anything");
    EXPECT_FALSE(logger.isEnabled(DBG_FATAL));
}

TEST_F(DbgLogMgrTest, RuleAddedWhileLoggersRunTakesEffectAtTheirNextRecord) {
    auto pConsumer = CaptureConsumer::add("late");
    DbgLogFileC logger("Busy");
    std::atomic<int> delivered{0};
    RepeatingThreads threads(4, [&] {
        if (logger.isEnabled(DBG_INFO)) {
            logPrintf(logger, DBG_INFO, "x\n");
            ++delivered;
        }
    });
    ASSERT_TRUE(waitUntil([&] { return logger.threshold() == DBG_NO_CONSUMER; }))
        << "the logger was never resolved";
    EXPECT_EQ(delivered.load(), 0);
    rule("Bus*", DBG_INFO, "late");
    ASSERT_TRUE(waitUntil([&] { return delivered.load() >= 100; }))
        << "only " << delivered.load() << " records after the rule was added";
    threads.stop();
    EXPECT_EQ(pConsumer->records().size(), static_cast<size_t>(delivered.load()));
}

// Each rule change makes the loggers resolve again; a thread that logs while another one is
// resolving the same logger must still see it enabled.
TEST_F(DbgLogMgrTest, RuleChangesDropNoRecordOfAnEnabledLogger) {
    auto pConsumer = CaptureConsumer::add("steady");
    rule("Steady", DBG_INFO, "steady");
    DbgLogFileC logger("Steady");
    std::atomic<int> attempts{0};
    RepeatingThreads threads(4, [&] {
        logPrintf(logger, DBG_INFO, "x\n");
        ++attempts;
    });
    ASSERT_TRUE(waitUntil([&] { return attempts.load() > 0; })) << "no thread ever logged";
    for (int i = 0; i < 2000; ++i) {
        rule(("Other" + std::to_string(i)).c_str(), DBG_INFO, "steady");
    }
    threads.stop();
    EXPECT_EQ(pConsumer->records().size(), static_cast<size_t>(attempts.load()));
}

TEST_F(DbgLogMgrTest, FullHeaderShowsThreadIdFormInTwentyColumns) {
    auto pConsumer = CaptureConsumer::add("full", HEADER_FULL);
    rule("PortBaseC", DBG_ALL, "full");
    DbgLogFileC logger("PortBaseC");
    logPrintf(logger, DBG_INFO, "START %s\n", "PortBaseC::StartReading");
    logPrintf(logger, DBG_ALL, "dump\n");
    logPrintf(logger, 9, "beyond fatal\n");

    const auto records = pConsumer->records();
    ASSERT_EQ(records.size(), 3u);
    // The priority column shows the priority the suite runs at (a CI runner may be niced).
    EXPECT_THAT(
        records[0],
        MatchesRegex(
            R"(\[[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{2}0 UTC\] )"
            R"(0x[0-9a-f]{8}          / [ 0-9-]{3} INF PortBaseC START PortBaseC::StartReading)"
            "\n"));
    EXPECT_THAT(records[1], ContainsRegex("/ [ 0-9-]{3}     PortBaseC dump\n"));
    EXPECT_THAT(records[2], HasSubstr(" FAT PortBaseC beyond fatal\n"));
}

// The header's date and time are the framework clock's: each record's lie between readings of
// that clock just before and just after it, also over records that cross changes of second.
TEST_F(DbgLogMgrTest, FullHeaderShowsTheFrameworkClockAcrossSeconds) {
    auto sortable = [](unsigned uiYear, unsigned uiMonth, unsigned uiDay, unsigned uiHour,
                       unsigned uiMinute, unsigned uiSecond, unsigned uiHundredths) {
        char szText[32];
        std::snprintf(szText, sizeof(szText), "%04u%02u%02u%02u%02u%02u%02u", uiYear, uiMonth,
                      uiDay, uiHour, uiMinute, uiSecond, uiHundredths);
        return std::string(szText);
    };
    auto clockNow = [&] {
        const FWK::TIM::CalendarTimeC t = FWK::TIM::ClockC::nowUtc();
        return sortable(t.m_unYear, t.m_unMonth, t.m_unDay, t.m_unHour, t.m_unMinute, t.m_unSecond,
                        t.m_unHundredths);
    };
    auto pConsumer = CaptureConsumer::add("clock", HEADER_FULL);
    rule("Clock", DBG_ALL, "clock");
    DbgLogFileC logger("Clock");
    for (int i = 0; i < 25; ++i) {
        const std::string strBefore = clockNow();
        logPrintf(logger, DBG_INFO, "tick\n");
        const std::string strAfter = clockNow();
        unsigned d = 0, mo = 0, y = 0, h = 0, mi = 0, s = 0, ms = 0;
        ASSERT_EQ(std::sscanf(pConsumer->records().back().c_str(), "[%u/%u/%u %u:%u:%u.%u UTC]", &d,
                              &mo, &y, &h, &mi, &s, &ms),
                  7);
        const std::string strShown = sortable(y, mo, d, h, mi, s, ms / 10);
        EXPECT_LE(strBefore, strShown);
        EXPECT_LE(strShown, strAfter);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
}

TEST_F(DbgLogMgrTest, OtherHeaderTypes) {
    auto pMilliseconds = CaptureConsumer::add("ms", HEADER_MILLISECONDS);
    auto pDateTime = CaptureConsumer::add("dt", HEADER_DATE_TIME);
    rule("Key", DBG_ALL, "ms");
    rule("Key", DBG_ALL, "dt");
    DbgLogFileC logger("Key");
    logPrintf(logger, DBG_INFO, "x\n");
    EXPECT_THAT(pMilliseconds->records().at(0), MatchesRegex("[0-9]+ x\n"));
    EXPECT_THAT(pDateTime->records().at(0),
                MatchesRegex(R"(\[[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9:]{8}\.[0-9]{3} UTC\] x)"
                             "\n"));
}

TEST_F(DbgLogMgrTest, RecordLongerThanTheBufferIsCutAtTheBoundAndReported) {
    auto pConsumer = CaptureConsumer::add("long");
    auto pErrors = CaptureConsumer::add("errors");
    rule("Long", DBG_ALL, "long");
    rule("SystemErrorLogger", DBG_ALL, "errors");
    DbgLogFileC logger("Long");

    const std::string strFits(TEMP_BUFF_LEN - 2, 'f');
    logPrintf(logger, DBG_INFO, "%s\n", strFits.c_str());
    EXPECT_TRUE(pErrors->records().empty());

    const std::string strTooLong(3 * TEMP_BUFF_LEN, 'x');
    logPrintf(logger, DBG_INFO, "%s\n", strTooLong.c_str());
    const auto records = pConsumer->records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].size(), TEMP_BUFF_LEN - 1);
    EXPECT_EQ(records[1].size(), TEMP_BUFF_LEN - 1);
    EXPECT_EQ(records[1].back(), '\n');
    EXPECT_THAT(
        pErrors->records(),
        ElementsAre("<<ASSERT at Fwk_Dbg\\FWK_DBG_Log(418): strlen(szTemp) < TEMP_BUFF_LEN>>\n"));
}

TEST_F(DbgLogMgrTest, ConcurrentLoggersLoseNoRecord) {
    auto pConsumer = CaptureConsumer::add("shared", HEADER_FULL);
    rule("Thread*", DBG_FINE, "shared");
    constexpr int RECORDS = 500;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([i] {
            DbgLogFileC logger(("Thread" + std::to_string(i)).c_str());
            for (int n = 0; n < RECORDS; ++n) {
                logPrintf(logger, DBG_INFO, "%d\n", n);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(pConsumer->records().size(), 4u * RECORDS);
}

} // namespace
