// Feeds the response processor arbitrary bytes in arbitrary chunks, for requests of every form,
// and aborts on any assertion report or broken buffer invariant.
//
// Input: one byte choosing the request, then chunks, each a length byte and that many bytes
// (the last chunk takes what is left).

#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"
#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_BoolResponseParamC.h"
#include "ORC_CFG_FactorySettingsRequestC.h"
#include "ORC_CFG_NumberResponseParamC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"
#include "ORC_CFG_PingRequestC.h"
#include "ORC_CFG_TransparentRequestC.h"
#include "ORC_CFG_Types.h"

#include <boost/make_shared.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace ORC::CFG;

namespace {

[[noreturn]] void fail(const char* pszWhat) {
    std::fprintf(stderr, "invariant broken: %s\n", pszWhat);
    std::abort();
}

class AbortingHandlerC : public ERR::SysPanicHandlerI {
public:
    void panic(const char* pszFormat, long, unsigned long, unsigned long, const char* pszFile,
               int iLine) override {
        std::fprintf(stderr, "panic at %s(%d): %s\n", pszFile, iLine, pszFormat);
        std::abort();
    }
    void assertion(const char* pszExpression, unsigned long, unsigned long, const char* pszFile,
                   int iLine) override {
        // A dump of a buffer full of line ends is longer than one log record; the log cuts it
        // and says so. That is the log's bound holding, not the processor's fault.
        if (std::strcmp(pszFile, "Fwk_Dbg\\FWK_DBG_Log") == 0) {
            return;
        }
        std::fprintf(stderr, "assertion at %s(%d): %s\n", pszFile, iLine, pszExpression);
        std::abort();
    }
};

class DiscardingConsumerC : public FWK::DBG::DbgLogConsumerC {
public:
    DiscardingConsumerC() : DbgLogConsumerC(FWK::DBG::HEADER_NONE) {}
    void logWrite(const char*) override {}
    const char* name() const override { return "fuzz-discard"; }
};

// One member of a chain of result lines, each answered by "\r\n", created on demand.
class ResultLineRequestC : public OpalDeviceRequestC {
public:
    explicit ResultLineRequestC(int iRemaining)
        : OpalDeviceRequestC("AGI", RF_RESPONSE_ONLY, 1000), m_iRemaining(iRemaining) {
        addResponseParam(&m_address);
        addResponseParam(&m_class);
    }
    OpalDeviceRequestC* getSiblingRequest() override {
        if (!m_pNext && m_iRemaining > 0) {
            m_pNext = std::make_unique<ResultLineRequestC>(m_iRemaining - 1);
        }
        return m_pNext.get();
    }
    bool isIntermediate() const override { return true; }

private:
    int m_iRemaining;
    BasicStringResponseParamC m_address;
    NumberResponseParamC m_class;
    std::unique_ptr<ResultLineRequestC> m_pNext;
};

// A query whose answer is followed by result lines.
class ChainedQueryC : public OpalDeviceRequestC {
public:
    ChainedQueryC() : OpalDeviceRequestC("AGI", RF_QUERY, 1000), m_first(3) {}
    OpalDeviceRequestC* getSiblingRequest() override { return &m_first; }

private:
    ResultLineRequestC m_first;
};

enum ParamKindT { STRING, NUMBER, BOOL, SKIP };

struct ExchangeS {
    std::unique_ptr<OpalDeviceRequestC> pRequest;
    std::vector<std::unique_ptr<ResponseParamI>> params;
    // Requests that keep appending after their final answer.
    bool bCollectsAll = false;

    void add(std::initializer_list<ParamKindT> kinds) {
        for (ParamKindT eKind : kinds) {
            switch (eKind) {
            case STRING:
                params.push_back(std::make_unique<BasicStringResponseParamC>());
                break;
            case NUMBER:
                params.push_back(std::make_unique<NumberResponseParamC>());
                break;
            case BOOL:
                params.push_back(std::make_unique<BoolResponseParamC>());
                break;
            case SKIP:
                params.push_back(std::make_unique<ResponseParamI>());
                break;
            }
            pRequest->addResponseParam(params.back().get());
        }
    }
};

constexpr int KIND_COUNT = 10;

ExchangeS makeExchange(int iKind) {
    ExchangeS exchange;
    switch (iKind) {
    case 0:
        exchange.pRequest = std::make_unique<PingRequestC>(200);
        break;
    case 1:
        exchange.pRequest = std::make_unique<OpalDeviceRequestC>("AGLN", RF_QUERY, 1000);
        exchange.add({STRING});
        break;
    case 2:
        exchange.pRequest = std::make_unique<OpalDeviceRequestC>("AMRS", RF_QUERY, 1000);
        exchange.add({NUMBER, NUMBER, NUMBER, NUMBER, NUMBER});
        break;
    case 3:
        exchange.pRequest = std::make_unique<OpalDeviceRequestC>("ADRDRP", RF_SET, 1000);
        exchange.pRequest->appendNumber(0);
        exchange.pRequest->closeCommand();
        exchange.add({STRING, SKIP, SKIP, STRING});
        break;
    case 4:
        exchange.pRequest = std::make_unique<OpalDeviceRequestC>("ADDM", RF_ACTION, 100);
        break;
    case 5:
        exchange.pRequest = std::make_unique<OpalDeviceRequestC>("ADWSN", RF_RESPONSE_ONLY, 1000);
        exchange.add({NUMBER, STRING, BOOL});
        break;
    case 6:
        exchange.pRequest = std::make_unique<TransparentRequestC>("ATI");
        exchange.bCollectsAll = true;
        break;
    case 7:
        exchange.pRequest = std::make_unique<FactorySettingsRequestC>();
        exchange.bCollectsAll = true;
        break;
    case 8:
        exchange.pRequest = std::make_unique<ChainedQueryC>();
        break;
    default:
        exchange.pRequest = std::make_unique<ResultLineRequestC>(4);
        break;
    }
    return exchange;
}

struct SnapshotS {
    bool bHandled;
    int32_t lResult;
    const char* pszUnconsumed;
    uint16_t unFillCount;
};

SnapshotS snapshotOf(const OpalDeviceRequestC& rRequest) {
    return {rRequest.isHandled(), rRequest.getResult(), rRequest.getUnconsumed(),
            rRequest.getFillCount()};
}

void checkBuffer(const OpalDeviceRequestC& rRequest) {
    const char* pszBuffer = rRequest.getResponse();
    const char* pszUnconsumed = rRequest.getUnconsumed();
    if (pszUnconsumed < pszBuffer) {
        fail("unconsumed text before the buffer");
    }
    if ((pszUnconsumed - pszBuffer) + rRequest.getFillCount() > OpalDeviceProcC::MAX_RESPONSE) {
        fail("unconsumed text beyond the buffer");
    }
    if (pszUnconsumed[rRequest.getFillCount()] != '\0') {
        fail("unconsumed text not terminated");
    }
}

void checkResult(int32_t lResult) {
    if (lResult != CFG_TIMEOUT && lResult != CFG_OK && lResult != CFG_BAD_RESPONSE &&
        lResult != CFG_FAILED) {
        fail("result outside the codes of an answer");
    }
}

// Every request of the chain that exists so far, without creating more.
void checkChain(OpalDeviceRequestC& rHead, const ExchangeS& rExchange, const SnapshotS& rBefore) {
    checkBuffer(rHead);
    checkResult(rHead.getResult());
    if (!rExchange.bCollectsAll) {
        if (rHead.isHandled() && rHead.getResult() == CFG_TIMEOUT) {
            fail("handled without a result");
        }
        if (rBefore.bHandled && (rBefore.lResult != rHead.getResult() ||
                                 rBefore.pszUnconsumed != rHead.getUnconsumed() ||
                                 rBefore.unFillCount != rHead.getFillCount())) {
            fail("a handled request changed");
        }
    }
    for (const auto& pParam : rExchange.params) {
        if (auto* pString = dynamic_cast<const BasicStringResponseParamC*>(pParam.get())) {
            if (pString->getValue().size() > OpalDeviceProcC::MAX_RESPONSE) {
                fail("string parameter longer than the answer");
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static AbortingHandlerC s_handler;
    ERR::PanicHandlerRegistryC::instance()->registerHandler(&s_handler);
    if (std::getenv("ORYX_FUZZ_TRACE") != nullptr) {
        FWK::DBG::DbgLogMgrC* pManager = FWK::DBG::DbgLogMgrC::instance();
        pManager->addConsumer(boost::make_shared<DiscardingConsumerC>());
        pManager->configure("OpalDeviceRequestC", FWK::DBG::DBG_ALL, "fuzz-discard", 1, 0, 0,
                            FWK::DBG::HEADER_NONE);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t unSize) {
    if (unSize == 0) {
        return 0;
    }
    ExchangeS exchange = makeExchange(pData[0] % KIND_COUNT);
    OpalDeviceRequestC& rRequest = *exchange.pRequest;
    size_t unPos = 1;
    while (unPos < unSize) {
        const size_t unLength = std::min<size_t>(pData[unPos], unSize - unPos - 1);
        ++unPos;
        const SnapshotS before = snapshotOf(rRequest);
        rRequest.procReadData(reinterpret_cast<const char*>(pData + unPos),
                              static_cast<uint32_t>(unLength));
        checkChain(rRequest, exchange, before);
        for (OpalDeviceRequestC* pSibling = rRequest.isHandled() ? rRequest.getSiblingRequest()
                                                                 : nullptr;
             pSibling != nullptr;
             pSibling = pSibling->isHandled() ? pSibling->getSiblingRequest() : nullptr) {
            checkBuffer(*pSibling);
            checkResult(pSibling->getResult());
        }
        unPos += unLength;
    }
    return 0;
}
