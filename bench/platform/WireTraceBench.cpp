// What a wire trace costs the thread that talks to the radio: one chunk reported by a serial
// device, routed to its port's trace file and queued (the file's own thread formats and writes
// it meanwhile). Run: oryx_wire_trace_bench; the ns/chunk of each row is the figure, against
// the "no trace" row, which is what every chunk costs when no trace is asked for.

#include "platform/WireTap.h"
#include "platform/WireTraceHub.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using namespace oryx::platform;

const std::string kPort = "pts/bench";

std::string TraceFile() {
    return "/tmp/oryx-wire-trace-bench-" + std::to_string(::getpid()) + ".txt";
}

void ReportChunks(benchmark::State& state) {
    const std::string chunk(static_cast<std::size_t>(state.range(0)), 'A');
    for (auto _ : state) {
        if (WireTap::active()) {
            WireTap::bytes(kPort, WireTap::kRead, chunk.data(), chunk.size(), WireTap::now());
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void NoTrace(benchmark::State& state) {
    WireTap::install(nullptr);
    ReportChunks(state);
}

void Traced(benchmark::State& state) {
    std::string problem;
    std::shared_ptr<WireTraceFile> file = WireTraceFile::create(TraceFile(), problem);
    if (!file) {
        state.SkipWithError(problem.c_str());
        return;
    }
    WireTraceHub::attach(kPort, file);
    ReportChunks(state);
    WireTraceHub::detach(kPort);
    file->finish();
    ::unlink(TraceFile().c_str());
}

} // namespace

BENCHMARK(NoTrace)->Arg(16)->Arg(64);
// Batches of 10 000 chunks, each well below what the queue holds, as a burst on the line
// would come.
BENCHMARK(Traced)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->Iterations(10000)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
