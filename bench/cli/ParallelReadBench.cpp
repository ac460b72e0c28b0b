// How long one oryx-cli run takes to read 1 to 1000 simulated radios of each family, that
// time over the time of reading a single one, how many radios were read, and the most
// threads and memory the run took. The radios behave as delivered (a module in data mode
// with its guard times, a modem sending its banner 600 ms after the port opens), so a read is
// mostly waiting and reads in parallel should overlap.
//
// Run: oryx_parallel_read_bench [-jN] [repetitions, default 3] [counts, default 1 16 64 256
// 1000]; -jN passes --jobs N to oryx-cli. Each figure is the median of the repetitions; the
// count read is the fewest of them.

#include "BenchProcessC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct RunS {
    double seconds = 0;
    std::size_t succeeded = 0;
    long mostThreads = 0;
    long peakKiB = 0;
};

// A number from the process's status ("Threads:", "VmHWM:"); 0 once it has ended.
long StatusField(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + field.size());
        }
    }
    return 0;
}

// One oryx-cli run with --json: its time, the ports it read, and its peaks, sampled every
// 5 ms (the kernel's peak resident size of the child after its exec would also count this
// bench's own memory, which the child shares until then).
RunS TimeRun(const std::vector<std::string>& args, const std::string& outFile) {
    const auto start = Clock::now();
    const pid_t pid = BenchProcessC::Start(ORYX_CLI_PATH, args, {outFile});
    RunS run;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        run.mostThreads = std::max(run.mostThreads, StatusField(pid, "Threads:"));
        run.peakKiB = std::max(run.peakKiB, StatusField(pid, "VmHWM:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.succeeded = BenchProcessC::Count(BenchProcessC::ReadFile(outFile), "\"exitStatus\":0");
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        throw std::runtime_error("oryx-cli " + args[0] + " " + args[1] + " failed");
    }
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The radios of one family, started once and read again and again: a read leaves each as
// it found it.
template <typename RadioT, typename OptionsT> class FleetC {
public:
    FleetC(const std::string& family, std::size_t count, std::string jobs)
        : family_(family), jobs_(std::move(jobs)) {
        for (std::size_t i = 0; i < count; ++i) {
            OptionsT options;
            options.linkName =
                "bench-" + family + "-" + std::to_string(::getpid()) + "-" + std::to_string(i);
            radios_.push_back(std::make_unique<RadioT>(options));
            radios_.back()->start();
        }
        listFile_ = "/tmp/oryx-bench-" + family + "-" + std::to_string(::getpid()) + ".txt";
        outFile_ = listFile_ + ".out";
    }
    ~FleetC() {
        std::remove(listFile_.c_str());
        std::remove(outFile_.c_str());
    }
    const std::string& OutFile() const { return outFile_; }

    // A single radio is read the way one is read today; several through a list file.
    std::vector<std::string> ReadArgs(std::size_t count) const {
        if (count == 1) {
            return {family_, "read", "--json", "--port", radios_.front()->portText()};
        }
        std::ofstream list(listFile_, std::ios::trunc);
        for (std::size_t i = 0; i < count; ++i) {
            list << radios_[i]->portText() << '\n';
        }
        std::vector<std::string> args = {family_, "read", "--json", "--ports-from", listFile_};
        if (!jobs_.empty()) {
            args.insert(args.end(), {"--jobs", jobs_});
        }
        return args;
    }

private:
    std::string family_;
    std::vector<std::unique_ptr<RadioT>> radios_;
    std::string jobs_;
    std::string listFile_;
    std::string outFile_;
};

template <typename FleetT>
void Measure(const char* family, FleetT& fleet, const std::vector<std::size_t>& counts,
             int repetitions) {
    double single = 0;
    for (const std::size_t count : counts) {
        std::vector<double> times;
        std::vector<double> threads;
        std::vector<double> peaks;
        std::size_t fewest = count;
        const std::vector<std::string> args = fleet.ReadArgs(count);
        for (int r = 0; r < repetitions; ++r) {
            const RunS run = TimeRun(args, fleet.OutFile());
            times.push_back(run.seconds);
            threads.push_back(static_cast<double>(run.mostThreads));
            peaks.push_back(static_cast<double>(run.peakKiB) / 1024.0);
            fewest = std::min(fewest, run.succeeded);
        }
        const double median = Median(times);
        if (count == 1) {
            single = median;
        }
        std::printf("%-7s %4zu radios  %4zu read  %7.3f s  %5.2f x one  %4.0f threads  %6.1f MiB\n",
                    family, count, fewest, median, single > 0 ? median / single : 1.0,
                    Median(threads), Median(peaks));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string jobs;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("-j", 0) == 0) {
            jobs = arg.substr(2);
        } else {
            rest.push_back(arg);
        }
    }
    const int repetitions = !rest.empty() ? std::max(1, std::atoi(rest[0].c_str())) : 3;
    std::vector<std::size_t> counts;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        counts.push_back(static_cast<std::size_t>(std::max(1, std::atoi(rest[i].c_str()))));
    }
    if (counts.empty()) {
        counts = {1, 16, 64, 256, 1000};
    }
    if (std::find(counts.begin(), counts.end(), 1u) == counts.end()) {
        counts.insert(counts.begin(), 1);
    }
    const std::size_t most = *std::max_element(counts.begin(), counts.end());
    try {
        // One family at a time: every simulated radio holds several descriptors.
        {
            FleetC<oryx::sim::ModuleRadio, oryx::sim::ModuleRadioOptions> modules("module", most,
                                                                                  jobs);
            Measure("module", modules, counts, repetitions);
        }
        FleetC<oryx::sim::ModemRadio, oryx::sim::ModemRadioOptions> modems("modem", most, jobs);
        Measure("modem", modems, counts, repetitions);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "oryx_parallel_read_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
