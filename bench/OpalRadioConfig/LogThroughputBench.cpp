// Records per second with a full header: into a log file in commit mode (each record on the disk
// before the next) and to the console, next to spdlog set up the same way when it is installed.
// The console goes to /dev/null while measuring, so the figures do not depend on a terminal.
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

#if defined(ORC_BENCH_WITH_SPDLOG)
#include "SpdlogPattern.h"

#include <spdlog/sinks/base_sink.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>
#include <spdlog/spdlog.h>

#include <mutex>
#endif

using namespace FWK::DBG;

namespace {

// A scratch folder beside the working directory, so that the disk is the one builds use.
std::string scratchFolder() {
    const std::string strFolder = std::filesystem::current_path().string() + "/orc_bench_logs";
    std::filesystem::create_directories(strFolder);
    return strFolder;
}

// Sends standard output to /dev/null for one scope.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        m_iSaved = dup(STDOUT_FILENO);
        const int iNull = open("/dev/null", O_WRONLY);
        dup2(iNull, STDOUT_FILENO);
        close(iNull);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(m_iSaved, STDOUT_FILENO);
        close(m_iSaved);
    }

private:
    int m_iSaved;
};

DbgLogFileC& benchLogger() {
    static DbgLogFileC s_logger("SerialPortC");
    return s_logger;
}

void routeLogger(const std::string& strConsumer) {
    DbgLogMgrC* pManager = DbgLogMgrC::instance();
    pManager->removeAllRules();
    // As the line "LOGT SerialPortC INFO <consumer>" of a debug configuration would.
    pManager->configure("SerialPortC", DBG_INFO, strConsumer.c_str(), 1, 0, 0, HEADER_FULL);
}

void logRecords(benchmark::State& state) {
    DbgLogFileC& logger = benchLogger();
    long n = 0;
    for (auto _ : state) {
        logPrintf(logger, DBG_INFO, "  port %s read %ld bytes, status 0x%08lx\n", "ttyUSB0", ++n,
                  0x2000006L);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Orc_FileConsumerCommitMode(benchmark::State& state) {
    const std::string strFile = scratchFolder() + "/orc_commit.txt";
    std::filesystem::remove(strFile);
    routeLogger(strFile);
    logRecords(state);
    DbgLogMgrC::instance()->removeAllRules();
}
BENCHMARK(BM_Orc_FileConsumerCommitMode)->MinTime(2.0)->UseRealTime();

void BM_Orc_ConsoleFullHeader(benchmark::State& state) {
    routeLogger("printf");
    {
        QuietStdout quiet;
        logRecords(state);
    }
    DbgLogMgrC::instance()->removeAllRules();
}
BENCHMARK(BM_Orc_ConsoleFullHeader)->UseRealTime();

#if defined(ORC_BENCH_WITH_SPDLOG)

// spdlog's file sink flushes to the operating system only; commit mode also waits for the disk.
class CommitFileSink : public spdlog::sinks::base_sink<std::mutex> {
public:
    explicit CommitFileSink(const std::string& strPath)
        : m_pFile(std::fopen(strPath.c_str(), "a")) {}
    ~CommitFileSink() override { std::fclose(m_pFile); }

protected:
    void sink_it_(const spdlog::details::log_msg& rMessage) override {
        spdlog::memory_buf_t formatted;
        formatter_->format(rMessage, formatted);
        std::fwrite(formatted.data(), 1, formatted.size(), m_pFile);
        std::fflush(m_pFile);
        fdatasync(fileno(m_pFile));
    }
    void flush_() override { std::fflush(m_pFile); }

private:
    FILE* m_pFile;
};

void spdlogRecords(benchmark::State& state, spdlog::logger& rLogger) {
    rLogger.set_pattern(SPDLOG_PATTERN, spdlog::pattern_time_type::utc);
    rLogger.set_level(spdlog::level::info);
    rLogger.flush_on(spdlog::level::trace);
    long n = 0;
    for (auto _ : state) {
        rLogger.info("  port {} read {} bytes, status 0x{:08x}", "ttyUSB0", ++n, 0x2000006L);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Spdlog_FileCommitSink(benchmark::State& state) {
    const std::string strFile = scratchFolder() + "/spdlog_commit.txt";
    std::filesystem::remove(strFile);
    spdlog::logger logger("SerialPortC", std::make_shared<CommitFileSink>(strFile));
    spdlogRecords(state, logger);
}
BENCHMARK(BM_Spdlog_FileCommitSink)->MinTime(2.0)->UseRealTime();

void BM_Spdlog_BasicFileFlushEachRecord(benchmark::State& state) {
    const std::string strFile = scratchFolder() + "/spdlog_flush.txt";
    std::filesystem::remove(strFile);
    spdlog::logger logger("SerialPortC",
                          std::make_shared<spdlog::sinks::basic_file_sink_mt>(strFile));
    spdlogRecords(state, logger);
}
BENCHMARK(BM_Spdlog_BasicFileFlushEachRecord)->UseRealTime();

void BM_Spdlog_ConsoleFullHeader(benchmark::State& state) {
    QuietStdout quiet;
    spdlog::logger logger("SerialPortC", std::make_shared<spdlog::sinks::stdout_sink_mt>());
    spdlogRecords(state, logger);
}
BENCHMARK(BM_Spdlog_ConsoleFullHeader)->UseRealTime();

#endif

} // namespace
