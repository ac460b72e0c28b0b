// Cost of a record on a resolved logger: disabled (one comparison), and enabled to a consumer
// that discards it (header, formatting and delivery without any output).
#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>

using namespace FWK::DBG;

namespace {

class DiscardConsumer : public DbgLogConsumerC {
public:
    explicit DiscardConsumer(int32_t lHeaderType) : DbgLogConsumerC(lHeaderType) {}
    void logWrite(const char* pszRecord) override { benchmark::DoNotOptimize(pszRecord); }
    const char* name() const override { return "discard"; }
};

DbgLogFileC& benchLogger() {
    static DbgLogFileC s_logger("BenchLogger");
    return s_logger;
}

void routeToDiscard(int32_t lHeaderType, int32_t lLevel) {
    DbgLogMgrC* pManager = DbgLogMgrC::instance();
    pManager->removeAllRules();
    auto pConsumer = boost::make_shared<DiscardConsumer>(lHeaderType);
    pManager->addConsumer(pConsumer);
    pManager->configure("BenchLogger", lLevel, pConsumer->name(), 1, 0, 0, lHeaderType);
}

void BM_DisabledRecordOnResolvedLogger(benchmark::State& state) {
    routeToDiscard(HEADER_NONE, DBG_WARN);
    DbgLogFileC& logger = benchLogger();
    logger.isEnabled(DBG_WARN); // resolve once
    int n = 0;
    for (auto _ : state) {
        logPrintf(logger, DBG_FINE, "value %d\n", ++n);
    }
}
BENCHMARK(BM_DisabledRecordOnResolvedLogger);

void BM_EnabledRecordToDiscardingConsumer(benchmark::State& state) {
    const auto lHeaderType = static_cast<int32_t>(state.range(0));
    routeToDiscard(lHeaderType, DBG_ALL);
    DbgLogFileC& logger = benchLogger();
    int n = 0;
    for (auto _ : state) {
        logPrintf(logger, DBG_INFO, "START %s %d\n", "PortBaseC::StartReading", ++n);
    }
}
BENCHMARK(BM_EnabledRecordToDiscardingConsumer)->Arg(HEADER_NONE)->Arg(HEADER_FULL);

} // namespace
