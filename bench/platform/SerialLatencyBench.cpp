// How long a waiting client takes to get a reply through the serial layer from a simulated
// radio on a pty. Run: oryx_serial_latency_bench (the median rows are the figures).

#include "platform/SerialDevice.h"
#include "sim/ModemRadio.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace oryx;
using std::chrono::milliseconds;

constexpr std::uint32_t kMax = platform::CommTimeouts::kMaxDword;

using Clock = std::chrono::steady_clock;

// Per-exchange times, so the figure is the median exchange rather than a mean.
class Samples {
public:
    void add(Clock::duration d) {
        m_us.push_back(std::chrono::duration<double, std::micro>(d).count());
    }
    void report(benchmark::State& state) {
        if (m_us.empty()) {
            return;
        }
        std::sort(m_us.begin(), m_us.end());
        state.counters["median_us"] = m_us[m_us.size() / 2];
        state.counters["p99_us"] = m_us[m_us.size() * 99 / 100];
    }

private:
    std::vector<double> m_us;
};

struct Setup {
    Setup() : radio(options()) {
        radio.start();
        radio.setCommandMode(true);
        device.open(radio.portText());
        platform::LineSettings line;
        line.baudRate = 115200;
        device.configure(line);
        device.setTimeouts({kMax, 0, 0, 0, 1000});
    }

    static sim::ModemRadioOptions options() {
        sim::ModemRadioOptions o;
        o.model = 2410;
        o.baud = 115200;
        o.linkName = "bench-" + std::to_string(::getpid());
        o.replyDelay = milliseconds(0);
        o.bannerOnOpen = false;
        return o;
    }

    // Waits in the serial layer until the text has arrived whole.
    void readUntil(const std::string& ending) {
        std::string got;
        char buffer[64];
        while (!got.ends_with(ending)) {
            if (device.waitForInputOrError(milliseconds(1000)) != platform::WaitOutcome::Input) {
                return;
            }
            got.append(buffer, device.read(buffer, sizeof buffer).count);
        }
    }

    sim::ModemRadio radio;
    platform::SerialDevice device;
};

// The simulator writes a reply; the client is already waiting for it.
void ReplyReachesWaitingClient(benchmark::State& state) {
    Setup setup;
    Samples samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        setup.radio.host().send("\r\n01\r\n>", milliseconds(0));
        setup.readUntil("\r\n>");
        samples.add(Clock::now() - start);
    }
    samples.report(state);
}
BENCHMARK(ReplyReachesWaitingClient)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A whole command exchange: the client writes "wb?", the radio echoes and answers.
void CommandRoundTrip(benchmark::State& state) {
    Setup setup;
    Samples samples;
    for (auto _ : state) {
        const auto start = Clock::now();
        setup.device.write("wb?\r\n", 5);
        setup.readUntil("\r\n>");
        samples.add(Clock::now() - start);
    }
    samples.report(state);
}
BENCHMARK(CommandRoundTrip)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
