#include "../AssertionRecorder.h"
#include "../Fwk_Dbg/CaptureConsumer.h"
#include "AllocationCounter.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_NumberResponseParamC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_PingRequestC.h"
#include "ORC_CFG_Types.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ORC::CFG;

namespace {

enum ParamKindT { STRING, NUMBER, SKIP };

// A request with its own parameters, as an operation builds it.
struct ExchangeS {
    ExchangeS(const char* pszWord, RequestFormT eForm, const std::vector<ParamKindT>& rKinds)
        : request(pszWord, eForm, 1000) {
        if (eForm == RF_SET) {
            request.appendByte(1);
            request.closeCommand();
        }
        for (ParamKindT eKind : rKinds) {
            params.push_back(eKind == STRING   ? std::make_unique<BasicStringResponseParamC>()
                             : eKind == NUMBER ? std::make_unique<NumberResponseParamC>()
                                               : std::make_unique<ResponseParamI>());
            request.addResponseParam(params.back().get());
        }
    }

    // Chunks end at the given positions; the last one takes the rest.
    void deliver(const std::string& rAnswer, const std::vector<size_t>& rCuts = {}) {
        size_t unFrom = 0;
        for (size_t unCut : rCuts) {
            request.procReadData(rAnswer.data() + unFrom, static_cast<uint32_t>(unCut - unFrom));
            unFrom = unCut;
        }
        request.procReadData(rAnswer.data() + unFrom,
                             static_cast<uint32_t>(rAnswer.size() - unFrom));
    }

    // Every observable part of the outcome: result, handled, parsed values, what is left.
    std::string outcome() const {
        std::string strOutcome = std::to_string(request.getResult()) +
                                 (request.isHandled() ? " handled" : " open") + " [";
        for (const auto& pParam : params) {
            if (auto* pString = dynamic_cast<const BasicStringResponseParamC*>(pParam.get())) {
                strOutcome += pString->isValid() ? "'" + pString->getValue() + "'" : "-";
            } else if (auto* pNumber = dynamic_cast<const NumberResponseParamC*>(pParam.get())) {
                strOutcome += pNumber->isValid() ? std::to_string(pNumber->getValue()) : "-";
            } else {
                strOutcome += "skip";
            }
            strOutcome += " ";
        }
        return strOutcome + "] rest '" + request.getUnconsumed() + "'";
    }

    OpalDeviceRequestC request;
    std::vector<std::unique_ptr<ResponseParamI>> params;
};

struct AnswerCaseS {
    const char* pszName;
    const char* pszWord;
    RequestFormT eForm;
    std::vector<ParamKindT> kinds;
    std::string strAnswer;
    std::string strOutcome;
};

const std::string OK_RESULT = std::to_string(CFG_OK);
const std::string BAD = std::to_string(CFG_BAD_RESPONSE);
const std::string FAILED = std::to_string(CFG_FAILED);

const std::vector<AnswerCaseS>& answerCases() {
    static const std::vector<AnswerCaseS> cases = {
        {"one quoted string",
         "AGLN",
         RF_QUERY,
         {STRING},
         "AT*AGLN?\r\r\n*AGLN:\"Radio 7\"\r\nOK\r\n",
         OK_RESULT + " handled ['Radio 7' ] rest ''"},
        {"five numbers",
         "AMRS",
         RF_QUERY,
         {NUMBER, NUMBER, NUMBER, NUMBER, NUMBER},
         "AT*AMRS?\r\r\n*AMRS:9,1,1,1,2\r\nOK\r\n",
         OK_RESULT + " handled [9 1 1 1 2 ] rest ''"},
        {"comma inside quotes",
         "ADWSN",
         RF_QUERY,
         {STRING, NUMBER},
         "AT*ADWSN?\r\r\n*ADWSN:\"a,b\",5\r\nOK\r\n",
         OK_RESULT + " handled ['a,b' 5 ] rest ''"},
        {"unclosed quote quotes nothing",
         "ADWSN",
         RF_QUERY,
         {STRING, NUMBER},
         "AT*ADWSN?\r\r\n*ADWSN:\"a,5\r\nOK\r\n",
         OK_RESULT + " handled ['a' 5 ] rest ''"},
        {"more parameters than the list",
         "AMRS",
         RF_QUERY,
         {NUMBER, STRING},
         "AT*AMRS?\r\r\n*AMRS:9,1,1,\"x\"\r\nOK\r\n",
         OK_RESULT + " handled [9 '1,1,\"x' ] rest ''"},
        {"skipped parameters",
         "ADRDRP",
         RF_SET,
         {STRING, SKIP, SKIP, STRING},
         "AT*ADRDRP=1\r\r\n*ADRDRP:0080E1A2B3C4,130,0,\"Peer\"\r\nOK\r\n",
         OK_RESULT + " handled ['0080E1A2B3C4' skip skip 'Peer' ] rest ''"},
        {"empty parameters",
         "X",
         RF_QUERY,
         {NUMBER, STRING},
         "AT*X?\r\r\n*X:,\r\nOK\r\n",
         OK_RESULT + " handled [0 '' ] rest ''"},
        {"echo not at the start",
         "AGLN",
         RF_QUERY,
         {STRING},
         "\r\nAT*AGLN?\r\r\n*AGLN:\"R\"\r\nOK\r\n",
         OK_RESULT + " handled ['R' ] rest ''"},
        {"no parameter list",
         "ADDM",
         RF_ACTION,
         {},
         "AT*ADDM\r\r\nOK\r\n",
         OK_RESULT + " handled [] rest ''"},
        {"fewer parameters than the list",
         "AMRS",
         RF_QUERY,
         {NUMBER, NUMBER, NUMBER},
         "AT*AMRS?\r\r\n*AMRS:9,1\r\nOK\r\n",
         BAD + " handled [9 - - ] rest ''"},
        {"no parameter block",
         "AGLN",
         RF_QUERY,
         {STRING},
         "AT*AGLN?\r\r\nOK\r\n",
         BAD + " handled [- ] rest ''"},
        {"empty parameter block",
         "AGLN",
         RF_QUERY,
         {STRING},
         "AT*AGLN?\r\r\n*AGLN:\r\nOK\r\n",
         BAD + " handled [- ] rest ''"},
        {"another command's prefix",
         "AGLN",
         RF_QUERY,
         {STRING},
         "AT*AGLN?\r\r\n*AILBA:0080E1\r\nOK\r\n",
         BAD + " handled [- ] rest ''"},
        {"ERROR", "AGLN", RF_SET, {}, "AT*AGLN=1\r\r\nERROR\r\n", FAILED + " handled [] rest ''"},
    };
    return cases;
}

TEST(ResponseProcTest, AnswersAreCutIntoTheirParameters) {
    for (const AnswerCaseS& rCase : answerCases()) {
        SCOPED_TRACE(rCase.pszName);
        AssertionRecorder recorder;
        ExchangeS exchange(rCase.pszWord, rCase.eForm, rCase.kinds);
        exchange.deliver(rCase.strAnswer);
        EXPECT_EQ(rCase.strOutcome, exchange.outcome());
        EXPECT_EQ(CFG_OK, exchange.request.wait(0)); // every final answer wakes the caller
        EXPECT_TRUE(recorder.expressions().empty());
    }
}

TEST(ResponseProcTest, AnAnswerSplitAnywhereGivesTheSameOutcome) {
    for (const AnswerCaseS& rCase : answerCases()) {
        SCOPED_TRACE(rCase.pszName);
        std::vector<size_t> everyByte;
        for (size_t unCut = 1; unCut < rCase.strAnswer.size(); ++unCut) {
            ExchangeS exchange(rCase.pszWord, rCase.eForm, rCase.kinds);
            exchange.deliver(rCase.strAnswer, {unCut});
            EXPECT_EQ(rCase.strOutcome, exchange.outcome()) << "split at " << unCut;
            everyByte.push_back(unCut);
        }
        ExchangeS exchange(rCase.pszWord, rCase.eForm, rCase.kinds);
        exchange.deliver(rCase.strAnswer, everyByte);
        EXPECT_EQ(rCase.strOutcome, exchange.outcome()) << "one byte per chunk";
    }
}

// Routes the request logger at one level to a capture consumer for the life of the object.
class RequestLogC {
public:
    explicit RequestLogC(int32_t lLevel) : m_pConsumer(CaptureConsumer::add("request-capture")) {
        FWK::DBG::DbgLogMgrC::instance()->configure("OpalDeviceRequestC", lLevel, "request-capture",
                                                    1, 0, 0, FWK::DBG::HEADER_NONE);
    }
    ~RequestLogC() { FWK::DBG::DbgLogMgrC::instance()->removeAllRules(); }

    std::string text() {
        std::string strText;
        for (const std::string& rRecord : m_pConsumer->records()) {
            strText += rRecord;
        }
        return strText;
    }
    int count(const std::string& rText) {
        int iCount = 0;
        for (const std::string& rRecord : m_pConsumer->records()) {
            iCount += rRecord.find(rText) != std::string::npos ? 1 : 0;
        }
        return iCount;
    }

private:
    boost::shared_ptr<CaptureConsumer> m_pConsumer;
};

TEST(ResponseProcTest, BytesAfterTheFinalAnswerAreDroppedWithoutSibling) {
    RequestLogC log(FWK::DBG::DBG_FINE);
    ExchangeS exchange("AGLN", RF_QUERY, {STRING});
    exchange.deliver("AT*AGLN?\r\r\n*AGLN:\"R\"\r\nOK\r\nAT");
    exchange.deliver("late");
    EXPECT_EQ(OK_RESULT + " handled ['R' ] rest 'AT'", exchange.outcome());
    EXPECT_EQ(2, log.count("request already handled!"));
    EXPECT_EQ(0, log.count("forwarding to sibling!"));
}

// An answer that continues in the next request of a chain.
class ChainedRequestC : public OpalDeviceRequestC {
public:
    ChainedRequestC()
        : OpalDeviceRequestC("AGI", RF_QUERY, 1000), next("AGI", RF_RESPONSE_ONLY, 1000) {}
    OpalDeviceRequestC* getSiblingRequest() override { return &next; }

    OpalDeviceRequestC next;
};

TEST(ResponseProcTest, BytesAfterTheFinalAnswerGoToTheSiblingWhichHoldsBackTheWake) {
    RequestLogC log(FWK::DBG::DBG_FINE);
    ChainedRequestC chained;
    const std::string strFirst = "AT*AGI?\r\r\nOK\r\n*AGI:0080E1,";
    chained.procReadData(strFirst.data(), static_cast<uint32_t>(strFirst.size()));
    chained.procReadData("7978\r\n", 6);
    EXPECT_TRUE(chained.isHandled());
    EXPECT_EQ(CFG_OK, chained.getResult());
    EXPECT_STREQ("*AGI:0080E1,7978\r\n", chained.next.getUnconsumed());
    EXPECT_EQ(2, log.count("forwarding to sibling!"));
    // The chain is not handled while its sibling waits for its own answer.
    EXPECT_EQ(CFG_TIMEOUT, chained.wait(0));
}

struct FullBufferCaseS {
    const char* pszName;
    std::string strAnswer;
    int32_t lResult;
};

TEST(ResponseProcTest, AFullBufferWithoutFinalAnswerIsABadResponseThatNeverWakes) {
    const FullBufferCaseS cases[] = {
        {"one byte short", std::string(1999, 'x'), CFG_TIMEOUT},
        {"2000 bytes", std::string(2000, 'x'), CFG_BAD_RESPONSE},
        {"more than fits", std::string(2500, 'x'), CFG_BAD_RESPONSE},
        // Once the echo is consumed the unconsumed count cannot reach 2000 any more; the buffer
        // is just as full.
        {"echo, then the buffer full", "AT*AGLN?\r" + std::string(1991, 'x'), CFG_BAD_RESPONSE},
    };
    for (const FullBufferCaseS& rCase : cases) {
        SCOPED_TRACE(rCase.pszName);
        AssertionRecorder recorder;
        ExchangeS exchange("AGLN", RF_QUERY, {STRING});
        exchange.deliver(rCase.strAnswer, {rCase.strAnswer.size() / 2});
        EXPECT_EQ(rCase.lResult, exchange.request.getResult());
        // A final answer that no longer fits is never seen.
        exchange.deliver("\r\nOK\r\n");
        EXPECT_EQ(CFG_BAD_RESPONSE, exchange.request.getResult());
        EXPECT_FALSE(exchange.request.isHandled());
        EXPECT_EQ(CFG_TIMEOUT, exchange.request.wait(0));
        const OpalDeviceRequestC& rRequest = exchange.request;
        EXPECT_EQ(2000,
                  rRequest.getUnconsumed() - rRequest.getResponse() + rRequest.getFillCount());
        EXPECT_TRUE(recorder.expressions().empty());
    }
}

TEST(ResponseProcTest, TraceLinesAtFineAndDumpsOnlyAtAll) {
    const std::string strAnswer = "AT\r\r\nOK\r\n";
    for (int32_t lLevel : {FWK::DBG::DBG_FINE, FWK::DBG::DBG_ALL}) {
        SCOPED_TRACE(lLevel);
        RequestLogC log(lLevel);
        PingRequestC ping(200);
        ping.procReadData("AT\r", 3);
        ping.procReadData(strAnswer.data() + 3, static_cast<uint32_t>(strAnswer.size() - 3));
        EXPECT_EQ(1, log.count("waiting for more data..."));
        EXPECT_EQ(1, log.count("START OpalDeviceRequestC::setHandled"));
        const int iDumps = lLevel == FWK::DBG::DBG_ALL ? 1 : 0;
        EXPECT_EQ(2 * iDumps, log.count("request: AT<CR>\n"));
        EXPECT_EQ(2 * iDumps, log.count("command: AT\n"));
        EXPECT_EQ(iDumps, log.count("buffer: AT<CR>\n"));
        EXPECT_EQ(iDumps, log.count("buffer: <CR><LF>OK<CR><LF>\n"));
        EXPECT_EQ(iDumps, log.count("remaining: \n"));
        EXPECT_EQ(iDumps, log.count("return code: 0\n"));
    }
    RequestLogC log(FWK::DBG::DBG_FINE);
    ExchangeS exchange("AGLN", RF_QUERY, {STRING});
    exchange.deliver("AT*AGLN?\r\r\nOK\r\n");
    EXPECT_EQ(1, log.count("findResponse returned: 2000003"));
}

TEST(ResponseProcTest, ProcessingAChunkAllocatesNothing) {
    const std::string strAnswer = "AT*AMRS?\r\r\n*AMRS:9,1,1,1,2,\"Radio 7\"\r\nOK\r\n";
    auto answerByteByByte = [&] {
        ExchangeS exchange("AMRS", RF_QUERY, {NUMBER, NUMBER, NUMBER, NUMBER, NUMBER, STRING});
        const uint64_t ulBefore = AllocationCounter::count();
        for (char c : strAnswer) {
            exchange.request.procReadData(&c, 1);
        }
        const uint64_t ulAllocations = AllocationCounter::count() - ulBefore;
        EXPECT_EQ(CFG_OK, exchange.request.getResult());
        return ulAllocations;
    };
    const uint64_t ulBeforeSetUp = AllocationCounter::count();
    answerByteByByte(); // the logger finds its routing once
    ASSERT_LT(ulBeforeSetUp, AllocationCounter::count()) << "the counter sees the set-up";
    EXPECT_EQ(0u, answerByteByByte()) << "over " << strAnswer.size() << " chunks";
}

} // namespace
