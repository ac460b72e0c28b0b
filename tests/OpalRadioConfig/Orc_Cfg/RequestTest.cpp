#include "../AssertionRecorder.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_BoolResponseParamC.h"
#include "ORC_CFG_FactorySettingsRequestC.h"
#include "ORC_CFG_NumberResponseParamC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_PingRequestC.h"
#include "ORC_CFG_TransparentRequestC.h"
#include "ORC_CFG_Types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using namespace ORC::CFG;

namespace {

struct CommandLineCaseS {
    const char* pszWord;
    RequestFormT eForm;
    const char* pszCommand;
    const char* pszName;
    const char* pszPrefix;
    bool bComplete;
};

TEST(RequestTest, EveryFormBuildsItsCommandLineNameAndPrefix) {
    const std::string strLongest(63, 'A'); // with its CR the longest line the field holds
    const std::string strLongestLine = strLongest + "\r";
    const std::string strLongestPrefix = strLongest + ":";
    const CommandLineCaseS cases[] = {
        {"AT", RF_PLAIN, "AT\r", "AT", "*AT:", true},
        {"AGLN", RF_QUERY, "AT*AGLN?\r", "AGLN", "*AGLN:", true},
        {"AGSSID", RF_QUERY, "AT*AGSSID?\r", "AGSSID", "*AGSSID:", true},
        {"ADDM", RF_ACTION, "AT*ADDM\r", "ADDM", "*ADDM:", true},
        {"AGLN", RF_SET, "AT*AGLN=", "AGLN", "*AGLN:", false},
        {"AGI", RF_RESPONSE_ONLY, "", "AGI", "*AGI:", false},
        {"AT&F", RF_TRANSPARENT, "AT&F\r", "AT&F", "AT&F:", true},
        {"ATS512=4", RF_TRANSPARENT, "ATS512=4\r", "ATS51", "ATS512=4:", true},
        {strLongest.c_str(), RF_TRANSPARENT, strLongestLine.c_str(), "AAAAA",
         strLongestPrefix.c_str(), true},
    };
    for (const CommandLineCaseS& rCase : cases) {
        SCOPED_TRACE(rCase.pszCommand);
        AssertionRecorder recorder;
        OpalDeviceRequestC request(rCase.pszWord, rCase.eForm, 1000);
        EXPECT_STREQ(rCase.pszCommand, request.getCommand());
        EXPECT_STREQ(rCase.pszName, request.getName());
        EXPECT_STREQ(rCase.pszPrefix, request.getResponsePrefix());
        EXPECT_EQ(rCase.bComplete, request.isComplete());
        EXPECT_EQ(rCase.eForm == RF_PLAIN, request.isRawForm());
        EXPECT_STREQ("\r\nOK\r\n", request.getTerminator());
        EXPECT_EQ(1000u, request.getTimeout());
        EXPECT_EQ(CFG_TIMEOUT, request.getResult());
        EXPECT_TRUE(recorder.expressions().empty());
    }
}

struct SetCaseS {
    const char* pszName;
    std::function<void(OpalDeviceRequestC&)> append;
    const char* pszCommand;
};

TEST(RequestTest, SetFormAppendsParametersAndClosesWithCr) {
    const std::string strLongest(53, 'p'); // "AT*AGFP=" + quoted text + "," is 64 characters
    const SetCaseS cases[] = {
        {"quoted text and byte",
         [](OpalDeviceRequestC& r) {
             r.appendString("Radio 7", true);
             r.appendByte(1);
         },
         "AT*AGLN=\"Radio 7\",1\r"},
        {"empty text", [](OpalDeviceRequestC& r) { r.appendString("", false); }, "AT*AGLN=\r"},
        {"empty quoted text", [](OpalDeviceRequestC& r) { r.appendString("", true); },
         "AT*AGLN=\"\"\r"},
        {"printable and UTF-8 bytes go out as they are",
         [](OpalDeviceRequestC& r) { r.appendString(" ~,\xC3\xBC", true); },
         "AT*AGLN=\" ~,\xC3\xBC\"\r"},
        {"numbers and bytes",
         [](OpalDeviceRequestC& r) {
             r.appendNumber(-2147483647 - 1);
             r.appendNumber(7978);
             r.appendByte(0);
             r.appendByte(255);
         },
         "AT*AGLN=-2147483648,7978,0,255\r"},
        {"longest line that fits",
         [&](OpalDeviceRequestC& r) { r.appendString(strLongest.c_str(), true); }, nullptr},
    };
    for (const SetCaseS& rCase : cases) {
        SCOPED_TRACE(rCase.pszName);
        AssertionRecorder recorder;
        OpalDeviceRequestC request(rCase.pszCommand != nullptr ? "AGLN" : "AGFP", RF_SET, 1000);
        rCase.append(request);
        EXPECT_FALSE(request.isComplete());
        request.closeCommand();
        EXPECT_TRUE(request.isComplete());
        if (rCase.pszCommand != nullptr) {
            EXPECT_STREQ(rCase.pszCommand, request.getCommand());
        } else {
            EXPECT_EQ("AT*AGFP=\"" + strLongest + "\"\r", request.getCommand());
            EXPECT_EQ(64u, std::strlen(request.getCommand()));
        }
        EXPECT_TRUE(recorder.expressions().empty());
    }
}

struct MisuseCaseS {
    const char* pszName;
    std::function<void(AssertionRecorder&)> misuse;
    const char* pszExpression;
};

// Each misuse is reported once and leaves a request that can never be sent, whatever the caller
// does with it afterwards.
TEST(RequestTest, MisuseIsReportedAndLeavesTheRequestIncompleteForGood) {
    const std::string strLongPin(60, '1');
    const std::string strLongText(64, 'A');
    auto thenTryToFinish = [](OpalDeviceRequestC& r) {
        r.appendByte(1);
        r.closeCommand();
    };
    const MisuseCaseS cases[] = {
        {"word of 7 characters",
         [](AssertionRecorder&) {
             OpalDeviceRequestC r("AGSSIDX", RF_QUERY, 1000);
             EXPECT_FALSE(r.isComplete());
         },
         "false"},
        {"no word",
         [](AssertionRecorder&) {
             EXPECT_FALSE(OpalDeviceRequestC(nullptr, RF_QUERY, 1).isComplete());
         },
         "false"},
        {"form outside the table",
         [](AssertionRecorder&) {
             EXPECT_FALSE(OpalDeviceRequestC("AGLN", RequestFormT(7), 1).isComplete());
         },
         "false"},
        {"append to a query",
         [](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_QUERY, 1000);
             r.appendNumber(1);
             EXPECT_STREQ("AT*AGLN?\r", r.getCommand());
             EXPECT_FALSE(r.isComplete());
         },
         "false"},
        {"close without parameters",
         [&](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_SET, 1000);
             r.closeCommand();
             thenTryToFinish(r);
             EXPECT_FALSE(r.isComplete());
         },
         "false"},
        {"append after close",
         [](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_SET, 1000);
             r.appendByte(1);
             r.closeCommand();
             r.appendByte(2);
             EXPECT_STREQ("AT*AGLN=1\r", r.getCommand());
             EXPECT_FALSE(r.isComplete());
         },
         "false"},
        {"close twice",
         [](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_SET, 1000);
             r.appendByte(1);
             r.closeCommand();
             r.closeCommand();
             EXPECT_FALSE(r.isComplete());
         },
         "false"},
        {"PIN longer than the command line",
         [&](AssertionRecorder&) {
             OpalDeviceRequestC r("AGFP", RF_SET, 1000);
             r.appendString(strLongPin.c_str(), true);
             thenTryToFinish(r);
             EXPECT_STREQ("AT*AGFP=", r.getCommand()); // nothing of the PIN, nothing after it
             EXPECT_FALSE(r.isComplete());
         },
         "!\"parameter does not fit into the command line\""},
        {"a quote or control byte inside a text, quoted or not",
         [&](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_SET, 1000);
             r.appendString("a\"b", true);
             r.appendString("x\rAT&F", false);
             thenTryToFinish(r);
             EXPECT_STREQ("AT*AGLN=", r.getCommand());
             EXPECT_FALSE(r.isComplete());
         },
         "!\"text holds a character that cannot travel in a parameter\""},
        {"transparent text that leaves no room for its CR",
         [&](AssertionRecorder&) {
             TransparentRequestC r(strLongText.c_str());
             EXPECT_STREQ("", r.getCommand());
             EXPECT_FALSE(r.isComplete());
         },
         "!\"command text does not fit into the command line\""},
        {"null response parameter",
         [](AssertionRecorder&) {
             OpalDeviceRequestC r("AGLN", RF_QUERY, 1000);
             r.addResponseParam(nullptr);
             EXPECT_FALSE(r.isComplete());
             EXPECT_TRUE(r.getResponseParams().empty());
         },
         "0 != pParam"},
    };
    for (const MisuseCaseS& rCase : cases) {
        SCOPED_TRACE(rCase.pszName);
        AssertionRecorder recorder;
        rCase.misuse(recorder);
        ASSERT_EQ(1u, recorder.expressions().size());
        EXPECT_EQ(rCase.pszExpression, recorder.expressions()[0]);
        EXPECT_EQ(0u, recorder.sites()[0].rfind("ORC_CFG_OpalRequest(", 0));
    }
}

struct ParseCaseS {
    const char* pszText;
    bool bValid;
    std::string strValue;
};

template <typename ParamT> std::string valueText(const ParamT& rParam) {
    if constexpr (std::is_same_v<ParamT, BasicStringResponseParamC>) {
        return rParam.getValue();
    } else {
        return std::to_string(rParam.getValue());
    }
}

template <typename ParamT> void expectParses(const std::vector<ParseCaseS>& rCases) {
    for (const ParseCaseS& rCase : rCases) {
        SCOPED_TRACE(rCase.pszText != nullptr ? rCase.pszText : "(null)");
        ParamT param;
        param.parse(rCase.pszText);
        EXPECT_EQ(rCase.bValid, param.isValid());
        EXPECT_EQ(rCase.strValue, valueText(param));
    }
}

TEST(RequestTest, ResponseParametersParseTheirText) {
    const std::string strTooLong(2001, '7');
    const std::string strLongest(2000, '7');
    expectParses<NumberResponseParamC>(
        {{"42", true, "42"},
         {"  -7,rest", true, "-7"},
         {"abc", true, "0"},
         {"", true, "0"},
         {nullptr, false, "-1"},
         {strTooLong.c_str(), false, "-1"},
         {"99999999999999999999999", true, std::to_string(LONG_MAX)}});
    expectParses<BoolResponseParamC>(
        {{"0", true, "0"}, {"3", true, "1"}, {"x", true, "0"}, {nullptr, false, "0"}});
    expectParses<BasicStringResponseParamC>({{"\"Radio 7\"", true, "Radio 7"},
                                             {"\"", true, ""},
                                             {"\"\"", true, ""},
                                             {"", true, ""},
                                             {"plain", true, "plain"},
                                             {"\"open", true, "open"},
                                             {"a\"b\"", true, "a\"b"},
                                             {"\"a,b\"", true, "a,b"},
                                             {nullptr, false, ""},
                                             {strTooLong.c_str(), false, ""},
                                             {strLongest.c_str(), true, strLongest}});
    ResponseParamI skip;
    skip.parse("anything"); // a skipped parameter has nothing to keep
}

TEST(RequestTest, SetHandledWakesTheCallerOnlyOnceTheResultIsDecided) {
    PingRequestC undecided(200);
    undecided.setHandled(true);
    EXPECT_TRUE(undecided.isHandled());
    EXPECT_EQ(CFG_TIMEOUT, undecided.wait(0));

    PingRequestC answered(200);
    answered.procReadData("AT\r\r\nOK\r\n", 9);
    EXPECT_TRUE(answered.isHandled());
    EXPECT_EQ(CFG_OK, answered.getResult());
    EXPECT_EQ(CFG_OK, answered.wait(0));
}

struct VariantCaseS {
    const char* pszName;
    std::function<std::unique_ptr<OpalDeviceRequestC>()> make;
    int32_t lResultBeforeOk;
    int32_t lResultAfterOk;
    bool bWakesAtOk;
};

// Both collect the whole answer, echo included; only the transparent one decides a result.
TEST(RequestTest, FactoryAndTransparentRequestsKeepTheWholeAnswer) {
    const VariantCaseS cases[] = {
        {"factory settings", [] { return std::make_unique<FactorySettingsRequestC>(); },
         CFG_TIMEOUT, CFG_TIMEOUT, false},
        {"transparent", [] { return std::make_unique<TransparentRequestC>("AT&F"); }, CFG_OK,
         CFG_OK, true},
    };
    for (const VariantCaseS& rCase : cases) {
        SCOPED_TRACE(rCase.pszName);
        std::unique_ptr<OpalDeviceRequestC> pRequest = rCase.make();
        EXPECT_STREQ("AT&F\r", pRequest->getCommand());
        EXPECT_EQ(1000u, pRequest->getTimeout());
        pRequest->procReadData("AT&F\r\r\n", 7);
        EXPECT_EQ(rCase.lResultBeforeOk, pRequest->getResult());
        EXPECT_FALSE(pRequest->isHandled());
        pRequest->procReadData("OK\r\n", 4);
        EXPECT_TRUE(pRequest->isHandled());
        EXPECT_EQ(rCase.lResultAfterOk, pRequest->getResult());
        EXPECT_EQ(rCase.bWakesAtOk ? CFG_OK : CFG_TIMEOUT, pRequest->wait(0));
        EXPECT_STREQ("AT&F\r\r\nOK\r\n", pRequest->getResponse());
    }
}

} // namespace
