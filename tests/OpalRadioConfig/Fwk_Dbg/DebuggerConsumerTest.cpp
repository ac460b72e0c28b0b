#include "CaptureConsumer.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogOutputDebugStringConsumerC.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace FWK::DBG;

namespace {

TEST(DebuggerConsumerTest, RecordGoesToStandardErrorUnchanged) {
    DbgLogOutputDebugStringConsumerC consumer(HEADER_NONE);
    testing::internal::CaptureStderr();
    consumer.logWrite("50% \xc3\xa9t\xc3\xa9 %s\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "50% \xc3\xa9t\xc3\xa9 %s\n");
    EXPECT_STREQ(consumer.name(), "OutputDebugString");
}

TEST(DebuggerConsumerTest, LongRecordIsCutToTheBufferAndReported) {
    DbgLogMgrC::instance()->removeAllRules();
    auto pErrors = CaptureConsumer::add("errors");
    DbgLogMgrC::instance()->configure("SystemErrorLogger", DBG_ALL, "errors", 1, 0, 0, 0);
    DbgLogOutputDebugStringConsumerC consumer(HEADER_NONE);
    testing::internal::CaptureStderr();
    consumer.logWrite((std::string(2000, 'x') + "\n").c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(1023, 'x') + "\n");
    ASSERT_EQ(pErrors->records().size(), 1u);
    EXPECT_THAT(pErrors->records()[0], testing::HasSubstr("FWK_UTI_UnicodeStringTools"));
    DbgLogMgrC::instance()->removeAllRules();
}

} // namespace
