// How long `oryx-cli discover --family module` takes over 1, 8 and 64 simulated modules at
// assorted rates, against the time of the single slowest one. The modules come from
// `oryx-sim module --count N --rates ...`, in data mode with their guard times, as delivered;
// the first module runs at the rate a probe reaches last, so the single run is the slowest
// rate walk there is. Discovery probes every port at once, so many should take about as long
// as one.
//
// Run: oryx_discover_bench [repetitions, default 1] [counts, default 1 8 64]. Each figure is
// the median of the repetitions; the count found is the fewest of them.

#include "BenchProcessC.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The rate a probe that starts at 115200 reaches last comes first, then the others.
constexpr const char* kRates = "57600,4800,9600,19200,115200";

// oryx-sim with count modules, their port texts read from its standard output.
class SimulatorC {
public:
    explicit SimulatorC(std::size_t count) {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            throw std::runtime_error("no pipe");
        }
        const std::vector<std::string> args = {"module",
                                               "--count",
                                               std::to_string(count),
                                               "--rates",
                                               kRates,
                                               "--link",
                                               "bench-discover-" + std::to_string(::getpid())};
        pid_ = BenchProcessC::Start(ORYX_SIM_PATH, args, {"", out[1]});
        ::close(out[1]);
        FILE* lines = ::fdopen(out[0], "r");
        char line[4096];
        while (ports_.size() < count && std::fgets(line, sizeof line, lines) != nullptr) {
            std::string port(line);
            port.erase(port.find_last_not_of('\n') + 1);
            ports_.push_back(port);
        }
        std::fclose(lines);
        if (ports_.size() != count) {
            throw std::runtime_error("oryx-sim gave " + std::to_string(ports_.size()) + " ports");
        }
    }
    ~SimulatorC() {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    const std::vector<std::string>& ports() const { return ports_; }

private:
    pid_t pid_ = 0;
    std::vector<std::string> ports_;
};

struct RunS {
    double seconds = 0;
    std::size_t found = 0;
};

RunS TimeDiscover(const std::string& listFile, const std::string& outFile) {
    const std::vector<std::string> args = {"discover", "--family",     "module",
                                           "--json",   "--ports-from", listFile};
    const auto start = Clock::now();
    const pid_t pid = BenchProcessC::Start(ORYX_CLI_PATH, args, {outFile});
    int status = 0;
    ::waitpid(pid, &status, 0);
    RunS run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.found =
        BenchProcessC::Count(BenchProcessC::ReadFile(outFile), "\"family\":\"module\",\"name\"");
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        throw std::runtime_error("oryx-cli discover failed");
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::vector<std::size_t> counts;
    for (int i = 2; i < argc; ++i) {
        counts.push_back(static_cast<std::size_t>(std::max(1, std::atoi(argv[i]))));
    }
    if (counts.empty()) {
        counts = {1, 8, 64};
    }
    const std::string listFile = "/tmp/oryx-discover-bench-" + std::to_string(::getpid());
    const std::string outFile = listFile + ".out";
    double single = 0;
    try {
        for (const std::size_t count : counts) {
            const SimulatorC simulator(count);
            {
                std::ofstream list(listFile, std::ios::trunc);
                for (const std::string& port : simulator.ports()) {
                    list << port << '\n';
                }
            }
            std::vector<double> times;
            std::size_t fewest = count;
            for (int r = 0; r < repetitions; ++r) {
                const RunS run = TimeDiscover(listFile, outFile);
                times.push_back(run.seconds);
                fewest = std::min(fewest, run.found);
            }
            const double median = Median(times);
            if (count == 1) {
                single = median;
            }
            std::printf("%4zu modules  %4zu found  %7.3f s  %5.2f x the slowest one\n", count,
                        fewest, median, single > 0 ? median / single : 1.0);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "oryx_discover_bench: %s\n", e.what());
        return 1;
    }
    std::remove(listFile.c_str());
    std::remove(outFile.c_str());
    return 0;
}
