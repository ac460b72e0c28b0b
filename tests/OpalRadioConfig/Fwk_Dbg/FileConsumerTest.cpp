#include "TempRoot.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogFileConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

using namespace FWK::DBG;
namespace fs = std::filesystem;

namespace {

class FileConsumerTest : public testing::Test {
protected:
    // A consumer without header whose clock the test moves.
    std::unique_ptr<DbgLogFileConsumerC> consumer(const std::string& strName, long lMaxFiles,
                                                  unsigned long ulPeriod = 0,
                                                  unsigned long ulByteLimit = 0,
                                                  bool bDayNumbered = false) {
        return std::make_unique<DbgLogFileConsumerC>(strName.c_str(), lMaxFiles, ulPeriod,
                                                     ulByteLimit, HEADER_NONE, bDayNumbered,
                                                     [this] { return m_dNow; });
    }

    static double dayCountOf(int iYear, int iMonth, int iDay) {
        struct tm parts {};
        parts.tm_year = iYear - 1900;
        parts.tm_mon = iMonth - 1;
        parts.tm_mday = iDay;
        parts.tm_hour = 12;
        return static_cast<double>(timegm(&parts)) / 86400.0 + 40587.0;
    }

    TempRoot m_root;
    double m_dNow = dayCountOf(2026, 3, 5);
};

TEST_F(FileConsumerTest, RecordIsWrittenVerbatimIntoTheLogFolder) {
    auto pConsumer = consumer("serial.txt", 3);
    pConsumer->logWrite("100% done %s %d\n");
    EXPECT_EQ(pConsumer->currentPath(), m_root.logFolder() + "serial_01.txt");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "serial_01.txt"), "100% done %s %d\n");
    EXPECT_STREQ(pConsumer->name(), "serial.txt");
}

TEST_F(FileConsumerTest, NamesWithoutExtensionAndAbsoluteNames) {
    auto pRing = consumer("trace", 2);
    auto pSingle = consumer("single", 1);
    const std::string strAbsolute = m_root.path() + "/elsewhere/abs.log";
    auto pAbsolute = consumer(strAbsolute, 1);
    pRing->logWrite("r\n");
    pSingle->logWrite("s\n");
    pAbsolute->logWrite("a\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "trace_01"), "r\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "single"), "s\n")
        << "the name must not become a folder";
    EXPECT_EQ(TempRoot::read(strAbsolute), "a\n");
}

TEST_F(FileConsumerTest, MaximumFilesIsClampedToOneToTwenty) {
    EXPECT_EQ(consumer("a.txt", 25)->maxFiles(), 20);
    EXPECT_EQ(consumer("b.txt", 0)->maxFiles(), 1);
    EXPECT_EQ(consumer("c.txt", -4)->maxFiles(), 1);
    EXPECT_TRUE(fs::exists(m_root.logFolder() + "c.txt"));
}

TEST_F(FileConsumerTest, ByteLimitSwitchesAfterTheRecordThatReachesIt) {
    const std::string strBase = m_root.path() + "/System/ErrorLog";
    auto pConsumer = consumer(strBase + ".txt", 2, 0, 51200);
    const std::string strRecord = std::string(999, 'x') + "\n";
    for (int i = 0; i < 52; ++i) { // the 52nd brings file 01 to 52000 bytes
        pConsumer->logWrite(strRecord.c_str());
    }
    EXPECT_EQ(fs::file_size(strBase + "_01.txt"), 52000u);
    EXPECT_FALSE(fs::exists(strBase + "_02.txt"));
    pConsumer->logWrite("next\n");
    EXPECT_EQ(TempRoot::read(strBase + "_02.txt"), "next\n");
    for (int i = 0; i < 52; ++i) {
        pConsumer->logWrite(strRecord.c_str());
    }
    pConsumer->logWrite("again\n");
    EXPECT_EQ(TempRoot::read(strBase + "_01.txt"), "again\n") << "the ring empties file 01 again";
}

TEST_F(FileConsumerTest, PeriodSwitchesAtTheFirstRecordMoreThanOnePeriodLater) {
    auto pConsumer = consumer("daily.txt", 3, 1);
    pConsumer->logWrite("day 0\n");
    m_dNow += 1.0;
    pConsumer->logWrite("exactly one day\n");
    EXPECT_EQ(pConsumer->currentPath(), m_root.logFolder() + "daily_01.txt");
    m_dNow += 0.002;
    pConsumer->logWrite("later\n");
    EXPECT_EQ(pConsumer->currentPath(), m_root.logFolder() + "daily_02.txt");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "daily_02.txt"), "later\n");
}

TEST_F(FileConsumerTest, RestartContinuesTheNewestFileOfTheRing) {
    fs::create_directories(m_root.logFolder());
    std::ofstream(m_root.logFolder() + "ring_01.txt") << "old\n";
    std::ofstream(m_root.logFolder() + "ring_02.txt") << "new\n";
    std::ofstream(m_root.logFolder() + "ring_03.txt") << "oldest\n";
    const timespec times[][2] = {
        {{1000, 0}, {1000, 0}}, {{3000, 0}, {3000, 0}}, {{500, 0}, {500, 0}}};
    for (int i = 0; i < 3; ++i) {
        const std::string strPath = m_root.logFolder() + "ring_0" + std::to_string(i + 1) + ".txt";
        utimensat(AT_FDCWD, strPath.c_str(), times[i], 0);
    }
    auto pConsumer = consumer("ring.txt", 3, 0, 10);
    pConsumer->logWrite("continued\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "ring_02.txt"), "new\ncontinued\n");
    pConsumer->logWrite("rotated\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "ring_03.txt"), "rotated\n");
}

TEST_F(FileConsumerTest, RestartIgnoresNewerFilesThatAreNotPartOfThisRing) {
    fs::create_directories(m_root.logFolder());
    // Only ring_02.txt belongs to a ring of three "ring.txt" files; every other one is newer.
    const std::pair<const char*, time_t> files[] = {
        {"ring_02.txt", 3000},   {"ring_07.txt", 9000}, {"ring_00.txt", 9100},
        {"ringer_03.txt", 9200}, {"ring_3.txt", 9300},  {"ring_03.txt.bak", 9400},
        {"ring_03.log", 9500}};
    for (const auto& [pszName, time] : files) {
        const std::string strPath = m_root.logFolder() + pszName;
        std::ofstream(strPath) << pszName << "\n";
        const timespec times[2] = {{time, 0}, {time, 0}};
        utimensat(AT_FDCWD, strPath.c_str(), times, 0);
    }
    auto pConsumer = consumer("ring.txt", 3);
    EXPECT_EQ(pConsumer->currentPath(), m_root.logFolder() + "ring_02.txt");
}

TEST_F(FileConsumerTest, DayNumberedNamesCountUpWithinTheDay) {
    m_dNow = dayCountOf(2026, 2, 14);
    auto pFirst = consumer("gps.nmea", 1, 0, 0, true);
    auto pSecond = consumer("gps.nmea", 1, 0, 0, true);
    EXPECT_EQ(pFirst->currentPath(), m_root.logFolder() + "gps045_1.nmea");
    EXPECT_EQ(pSecond->currentPath(), m_root.logFolder() + "gps045_2.nmea");
}

TEST_F(FileConsumerTest, SingleFileRotationKeepsOnePreviousGeneration) {
    auto pConsumer = consumer("single.txt", 1, 0, 4);
    pConsumer->logWrite("one\n");
    pConsumer->logWrite("two\n");
    pConsumer->logWrite("three\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "single.txt"), "three\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "single_prev.txt"), "two\n");
}

TEST_F(FileConsumerTest, DayNumberedRotationMovesOnAndBoundsItsFiles) {
    m_dNow = dayCountOf(2026, 2, 14);
    auto pConsumer = consumer("gps.nmea", 1, 0, 4, true);
    for (const char* pszRecord : {"aaa\n", "bbb\n", "ccc\n"}) {
        pConsumer->logWrite(pszRecord);
    }
    EXPECT_FALSE(fs::exists(m_root.logFolder() + "gps045_1.nmea")) << "oldest removed";
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "gps045_2.nmea"), "bbb\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "gps045_3.nmea"), "ccc\n");
}

TEST_F(FileConsumerTest, BrokenStreamIsReopenedAndTheRecordKept) {
    auto pConsumer = consumer("fragile.txt", 1);
    pConsumer->logWrite("before\n");
    pConsumer->adoptStreamForTest(std::fopen("/dev/full", "w"));
    testing::internal::CaptureStdout();
    pConsumer->logWrite("kept\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "fragile.txt"), "before\nkept\n");
}

TEST_F(FileConsumerTest, FailedReopenIsReportedAndRetriedWithTheNextRecord) {
    auto pConsumer = consumer("gone.txt", 1);
    pConsumer->adoptStreamForTest(std::fopen("/dev/full", "w"));
    fs::remove_all(m_root.logFolder());
    testing::internal::CaptureStdout();
    pConsumer->logWrite("lost\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "FWK::DBG::DbgLogMgrC::logWrite ERROR while writing to log (gone.txt)!\n");
    fs::create_directories(m_root.logFolder());
    pConsumer->logWrite("back\n");
    EXPECT_EQ(TempRoot::read(m_root.logFolder() + "gone.txt"), "back\n");
}

TEST_F(FileConsumerTest, RecordsOfSeveralThreadsArriveWholeAndComplete) {
    DbgLogMgrC* pManager = DbgLogMgrC::instance();
    pManager->removeAllRules();
    pManager->configure("Writer*", DBG_INFO, "shared.txt", 1, 0, 0, HEADER_FULL);
    constexpr int RECORDS = 50;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([i] {
            DbgLogFileC logger(("Writer" + std::to_string(i)).c_str());
            for (int n = 0; n < RECORDS; ++n) {
                logPrintf(logger, DBG_INFO, "%s\n",
                          std::string(200, static_cast<char>('a' + i)).c_str());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    std::istringstream content(TempRoot::read(m_root.logFolder() + "shared.txt"));
    int iLines = 0;
    for (std::string strLine; std::getline(content, strLine); ++iLines) {
        EXPECT_THAT(strLine,
                    testing::MatchesRegex(".* INF Writer[0-3] (a{200}|b{200}|c{200}|d{200})"));
    }
    EXPECT_EQ(iLines, 4 * RECORDS);
    pManager->removeAllRules();
}

TEST_F(FileConsumerTest, ErrorLogRulesShareOneConsumerInTheSystemFolder) {
    DbgLogMgrC* pManager = DbgLogMgrC::instance();
    pManager->removeAllRules();
    pManager->configure("SystemErrorLogger", DBG_ERROR, "SystemErrorLogger", 1, 0, 0, HEADER_NONE);
    pManager->configure("Other", DBG_ERROR, "SystemErrorLogger", 1, 0, 0, HEADER_NONE);
    DbgLogFileC other("Other");
    logPrintf(*pManager->systemErrorLogger(), DBG_ERROR, "first\n");
    logPrintf(other, DBG_ERROR, "second\n");
    const std::string strLog =
        m_root.path() + "/Altorvia Instruments/Fieldora/System/ErrorLog_01.txt";
    EXPECT_THAT(TempRoot::read(strLog),
                testing::MatchesRegex(R"(\[.* UTC\] 0x.* ERR SystemErrorLogger first)"
                                      "\n"
                                      R"(\[.* UTC\] 0x.* ERR Other second)"
                                      "\n"));
    pManager->removeAllRules();
}

} // namespace
