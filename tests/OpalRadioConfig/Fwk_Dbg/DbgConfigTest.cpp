#include "../AssertionRecorder.h"
#include "CaptureConsumer.h"
#include "TempRoot.h"

#include "Fwk_Dbg/FWK_DBG_DbgConfigParserC.h"
#include "Fwk_Dbg/FWK_DBG_DbgConfiguratorRegistryC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Uti/FWK_UTI_StringC.h"
#include "ORC_SetupLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace FWK::DBG;
using testing::ElementsAre;

namespace {

std::string describe(const char* pszLine) {
    const std::optional<DbgRuleS> rule = DbgConfigParserC::parseLine(pszLine);
    if (!rule) {
        return "ignored";
    }
    return std::to_string(rule->lHeaderType) + "|" + rule->strKey + "|" +
           std::to_string(rule->lLevel) + "|" + rule->strConsumer + "|" +
           std::to_string(rule->lFirstNumber) + "|" + std::to_string(rule->lSecondNumber);
}

TEST(DbgConfigParserTest, RuleSyntax) {
    EXPECT_EQ(describe("LOGT SerialPortC INFO debug.txt 3 7\n"), "1|SerialPortC|4|debug.txt|3|7");
    EXPECT_EQ(describe("LOG * ERROR printf\r\n"), "0|*|6|printf|1|0");
    EXPECT_EQ(describe("LOGS Opal* FINEST \"OutputDebugString\""),
              "2|Opal*|1|OutputDebugString|1|0");
    EXPECT_EQ(describe("LOGX key file"), "ignored");
    EXPECT_EQ(describe("LOGTkey file"), "ignored");
    EXPECT_EQ(describe("LOG\tkey WARNING file"), "0|key|5|file|1|0");
    EXPECT_EQ(describe("LOG key file"), "0|key|0|file|1|0");
    EXPECT_EQ(describe("LOG key INFO"), "ignored");
    EXPECT_EQ(describe("LOG key INFO   \r\n"), "ignored");
    EXPECT_EQ(describe("LOG key"), "ignored");
    EXPECT_EQ(describe("LOG key file x"), "ignored");
    EXPECT_EQ(describe("LOG key file 5x 2y"), "0|key|0|file|5|2");
    EXPECT_EQ(describe("LOG key file 4 y rest"), "0|key|0|file|4|0");
    EXPECT_EQ(describe("LOG key FINER a"), "0|key|2|a|1|0") << "FINER before FINE";
    EXPECT_EQ(describe("LOG key FINE a"), "0|key|3|a|1|0");
    EXPECT_EQ(describe("LOG key file 99999999999999999999999"),
              "0|key|0|file|9223372036854775807|0");
}

TEST(DbgConfigParserTest, CommentsAndQuotedNames) {
    for (const char* pszLine : {" LOG key file", "// LOG key file", "#x", ";x", "\tLOG key file",
                                "", "\n", "log key file"}) {
        EXPECT_EQ(describe(pszLine), "ignored") << pszLine;
    }
    EXPECT_EQ(describe("LOG key \"my log.txt\"glued 2"), "0|key|0|my log.txt|2|0");
    EXPECT_EQ(describe("LOG key INFO \"spaced name.txt\" 3 1"), "0|key|4|spaced name.txt|3|1");
    EXPECT_EQ(describe("LOG key \"never closed 2"), "ignored");
    EXPECT_EQ(describe("LOG key \"\" 2"), "ignored");
    EXPECT_EQ(describe("LOG key INFO \"\""), "ignored");
}

class SetupLoggerTest : public testing::Test {
protected:
    void SetUp() override { DbgLogMgrC::instance()->removeAllRules(); }
    void TearDown() override { DbgLogMgrC::instance()->removeAllRules(); }

    std::string writeFile(const std::string& strName, const std::string& strContent) {
        const std::string strPath = m_root.path() + "/" + strName;
        std::ofstream(strPath) << strContent;
        return strPath;
    }

    TempRoot m_root;
};

TEST_F(SetupLoggerTest, MissingFileFailsAndChangesNothing) {
    EXPECT_EQ(ORC::setupLogger(nullptr), 0x200001a);
    EXPECT_EQ(ORC::setupLogger((m_root.path() + "/missing.def").c_str()), 0x200001a);
    EXPECT_EQ(ORC::setupLogger(m_root.path().c_str()), 0x200001a) << "a folder is no file";
}

TEST_F(SetupLoggerTest, FilesAccumulateRulesAndSkipBadLines) {
    auto pFirst = CaptureConsumer::add("first");
    auto pSecond = CaptureConsumer::add("second");
    const std::string strLongComment = "# " + std::string(300, 'c') + "\n";
    EXPECT_EQ(ORC::setupLogger(
                  writeFile("a.def", strLongComment + "LOG Alpha INFO first\nLOGX Beta second\n")
                      .c_str()),
              0);
    EXPECT_EQ(
        ORC::setupLogger(writeFile("b.def", "LOG Beta FINE second\nLOG nmea x.nmea\n").c_str()), 0);
    EXPECT_NE(DbgConfiguratorRegistryC::instance(), nullptr);

    DbgLogFileC alpha("Alpha");
    DbgLogFileC beta("Beta");
    logPrintf(alpha, DBG_INFO, "a\n");
    logPrintf(beta, DBG_FINE, "b\n");
    EXPECT_THAT(pFirst->records(), ElementsAre("a\n"));
    EXPECT_THAT(pSecond->records(), ElementsAre("b\n"));
}

TEST_F(SetupLoggerTest, LineLongerThanTheBufferIsIgnoredWholeAndReported) {
    auto pConsumer = CaptureConsumer::add("tail");
    const struct {
        const char* pszKey;
        std::string strLine;
        bool bEnabled;
    } cases[] = {
        // 255 characters and a line end fit; the next line is read as usual.
        {"Fits", "LOG Fits tail" + std::string(242, ' ') + "\r\n", true},
        {"Tail", "#" + std::string(254, 'x') + "LOG Tail tail\n", false},
        {"Long", "LOG Long tail" + std::string(243, ' ') + "x\n", false},
        {"After", "LOG After tail", true},
    };
    std::string strFile;
    for (const auto& rCase : cases) {
        strFile += rCase.strLine;
    }
    AssertionRecorder recorder;
    ORC::setupLogger(writeFile("long.def", strFile).c_str());
    for (const auto& rCase : cases) {
        DbgLogFileC logger(rCase.pszKey);
        EXPECT_EQ(logger.isEnabled(DBG_ALL), rCase.bEnabled) << rCase.pszKey;
    }
    EXPECT_EQ(recorder.expressions(),
              std::vector<std::string>(
                  2, "!\"debug configuration line longer than 255 characters ignored\""));
}

TEST_F(SetupLoggerTest, DefaultFileComesFromThePathMap) {
    auto pConsumer = CaptureConsumer::add("default");
    std::filesystem::create_directories(m_root.path() + "/SD Card/Dbg");
    std::ofstream(m_root.path() + "/SD Card/Dbg/debug.def") << "LOG Default default\n";
    DbgConfigParserC::readFile();
    DbgLogFileC logger("Default");
    EXPECT_TRUE(logger.isEnabled(DBG_ALL));
}

class EchoHandler : public DbgConfigI {
public:
    bool handle(int32_t lRequest, int32_t) override { return lRequest == 7; }
    void notify(int32_t lArgument) override { m_lNotified = lArgument; }
    bool configure(const FWK::UTI::StringC& rKey, const FWK::UTI::StringC& rValue,
                   FWK::UTI::StringC& rOutput) override {
        if (!(rKey == u"echo")) {
            return false;
        }
        rOutput = rValue;
        return true;
    }
    int32_t m_lNotified = 0;
};

TEST(DbgConfiguratorRegistryTest, AsksHandlersInTurn) {
    DbgConfiguratorRegistryC registry;
    EchoHandler handler;
    registry.addHandler(&handler);
    FWK::UTI::StringC output;
    EXPECT_TRUE(registry.configure(FWK::UTI::StringC(u"echo"), FWK::UTI::StringC(u"on"), output));
    EXPECT_TRUE(output == u"echo: on");
    EXPECT_FALSE(registry.configure(FWK::UTI::StringC(u"other"), FWK::UTI::StringC(u"on"), output));
    EXPECT_TRUE(output == u"No handler found for debug key [other]");
    EXPECT_FALSE(registry.configure(FWK::UTI::StringC(), FWK::UTI::StringC(u"on"), output));
    EXPECT_TRUE(registry.handle(7, 0));
    EXPECT_FALSE(registry.handle(8, 0));
    registry.notify(3);
    EXPECT_EQ(handler.m_lNotified, 3);
}

} // namespace
