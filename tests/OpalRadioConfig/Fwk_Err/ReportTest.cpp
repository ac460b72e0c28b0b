#include "../Fwk_Dbg/CaptureConsumer.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"
#include "Fwk_Err/FWK_ERR_Report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace FWK::DBG;
using testing::ElementsAre;
using testing::MatchesRegex;

namespace {

class RecordingHandler : public ERR::SysPanicHandlerI {
public:
    void panic(const char* pszFormat, long lType, unsigned long, unsigned long, const char*,
               int iLine) override {
        std::fprintf(stderr, "handler saw panic '%s' 0x%lx line %d\n", pszFormat, lType, iLine);
    }
    void assertion(const char* pszExpression, unsigned long, unsigned long, const char* pszFile,
                   int iLine) override {
        m_calls.push_back(std::string(pszExpression) + "@" + pszFile + ":" + std::to_string(iLine));
    }
    void onStateChange(int32_t lState) override {
        m_calls.push_back("state " + std::to_string(lState));
    }

    std::vector<std::string> m_calls;
};

class ReportTest : public testing::Test {
protected:
    void SetUp() override { DbgLogMgrC::instance()->removeAllRules(); }
    void TearDown() override {
        ERR::PanicHandlerRegistryC::instance()->unregisterHandler(&m_handler);
        DbgLogMgrC::instance()->removeAllRules();
    }

    RecordingHandler m_handler;
};

TEST_F(ReportTest, AssertionWithoutRuleReturnsZeroAndWritesNothing) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(ERR::assertReport("false", 0, 0, "Fwk_Tsk\\FWK_TSK_SysTask", 1479), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ReportTest, AssertionIsOneFullHeaderErrorRecordEndingInMarks) {
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ERROR, "printf", 1, 0, 0,
                                      HEADER_FULL);
    testing::internal::CaptureStdout();
    ERR::assertReport("!\"component pointer is null\"", 0, 0, "Fwk_Tsk\\FWK_TSK_SysTask", 1485);
    EXPECT_THAT(
        testing::internal::GetCapturedStdout(),
        MatchesRegex(
            R"(\[.* UTC\] 0x[0-9a-f]{8}          / [ 0-9-]{3} ERR SystemErrorLogger )"
            R"(<<ASSERT at Fwk_Tsk\\FWK_TSK_SysTask\(1485\): !"component pointer is null">>)"
            "\n"));
}

TEST_F(ReportTest, AssertMacroKeepsPercentSignsOfTheExpressionLiteral) {
    auto pErrors = CaptureConsumer::add("errors");
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ALL, "errors", 1, 0, 0, 0);
    const int iOdd = 3;
    const int iLine = __LINE__ + 1;
    FWK_ASSERT(iOdd % 2 == 0);
    FWK_ASSERT(iOdd == 3);
    EXPECT_THAT(pErrors->records(), ElementsAre("<<ASSERT at Fwk_Err/ReportTest.cpp(" +
                                                std::to_string(iLine) + "): iOdd % 2 == 0>>\n"));
}

TEST_F(ReportTest, AssertionDetailsFeedDirectivesOfTheExpressionText) {
    auto pErrors = CaptureConsumer::add("errors");
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ALL, "errors", 1, 0, 0, 0);
    ERR::assertReport("count %lu of %lu", 7, 9, "file", 1);
    EXPECT_THAT(pErrors->records(), ElementsAre("<<ASSERT at file(1): count 7 of 9>>\n"));
}

TEST_F(ReportTest, RegisteredHandlerReceivesAssertionsAndStateUntilRemoved) {
    auto* pRegistry = ERR::PanicHandlerRegistryC::instance();
    pRegistry->registerHandler(&m_handler);
    ERR::assertReport("false", 0, 0, "f", 12);
    pRegistry->setState(3);
    pRegistry->unregisterHandler(&m_handler);
    ERR::assertReport("false", 0, 0, "f", 13);
    EXPECT_THAT(m_handler.m_calls, ElementsAre("false@f:12", "state 3"));
}

TEST_F(ReportTest, RegistryDestroyedWithAHandlerLeftReportsIt) {
    auto pErrors = CaptureConsumer::add("errors");
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ALL, "errors", 1, 0, 0, 0);
    {
        ERR::PanicHandlerRegistryC registry;
        registry.registerHandler(&m_handler);
    }
    EXPECT_THAT(pErrors->records(),
                ElementsAre("<<ASSERT at Fwk_Err\\FWK_ERR_PanicHandlerRegistry(54): false>>\n"));
}

// Records go to standard output; the death test matches standard error, so the child joins them.
void panicWithConsoleRule(ERR::SysPanicHandlerI* pHandler) {
    dup2(STDERR_FILENO, STDOUT_FILENO);
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ERROR, "printf", 1, 0, 0,
                                      HEADER_FULL);
    if (pHandler != nullptr) {
        ERR::PanicHandlerRegistryC::instance()->registerHandler(pHandler);
    }
    FWK_PANIC("W: ~ListC(this = 0x%lx, newnode = 0x%lx): node in two lists?\r\n", 0x1234, 0x5678);
}

TEST_F(ReportTest, PanicWritesFatalRecordAndEndsProcessWith255) {
    EXPECT_EXIT(
        panicWithConsoleRule(nullptr), testing::ExitedWithCode(255),
        "UTC\\] 0x[0-9a-f]+          / [ 0-9-]{3} FAT SystemErrorLogger <<PANIC at "
        "Fwk_Err/ReportTest.cpp\\([0-9]+\\): W: ~ListC\\(this = 0x1234, newnode = 0x5678\\): "
        "node in two lists\\?\r\n - type 0x1200001>>\n");
}

TEST_F(ReportTest, PanicReachesHandlerBeforeTheProcessEnds) {
    EXPECT_EXIT(panicWithConsoleRule(&m_handler), testing::ExitedWithCode(255),
                "handler saw panic 'W: ~ListC.*' 0x1200001");
}

TEST_F(ReportTest, PanicWithoutRuleStillEndsTheProcess) {
    EXPECT_EXIT(FWK_PANIC("TlsAlloc() failed", 0, 0), testing::ExitedWithCode(255), "");
}

} // namespace
