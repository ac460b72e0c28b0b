// Cost of a record on a resolved logger: disabled (one comparison), and enabled to a consumer
// that discards it (header, formatting and delivery without any output); beside spdlog, when it
// is installed, set up the same way: the library's full header as its pattern, and a sink that
// formats each record and discards it.
#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>

#if defined(ORC_BENCH_WITH_SPDLOG)
#include "SpdlogPattern.h"

#include <mutex>
#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>
#endif

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

#if defined(ORC_BENCH_WITH_SPDLOG)

// Formats every record with the logger's pattern, as a sink that writes would, and drops it.
class FormatAndDiscardSink : public spdlog::sinks::base_sink<std::mutex> {
protected:
    void sink_it_(const spdlog::details::log_msg& rMessage) override {
        spdlog::memory_buf_t formatted;
        formatter_->format(rMessage, formatted);
        benchmark::DoNotOptimize(formatted.data());
    }
    void flush_() override {}
};

spdlog::logger& spdlogBenchLogger() {
    static spdlog::logger s_logger("BenchLogger", std::make_shared<FormatAndDiscardSink>());
    static const bool s_bSetUp = [] {
        s_logger.set_pattern(SPDLOG_PATTERN, spdlog::pattern_time_type::utc);
        s_logger.set_level(spdlog::level::info);
        return true;
    }();
    (void)s_bSetUp;
    return s_logger;
}

void BM_Spdlog_DisabledRecord(benchmark::State& state) {
    spdlog::logger& logger = spdlogBenchLogger();
    int n = 0;
    for (auto _ : state) {
        logger.debug("value {}", ++n);
    }
}
BENCHMARK(BM_Spdlog_DisabledRecord);

void BM_Spdlog_EnabledRecordFullPattern(benchmark::State& state) {
    spdlog::logger& logger = spdlogBenchLogger();
    int n = 0;
    for (auto _ : state) {
        logger.info("START {} {}", "PortBaseC::StartReading", ++n);
    }
}
BENCHMARK(BM_Spdlog_EnabledRecordFullPattern);

#endif

} // namespace
