// How long one oryx-cli run takes to read 1, 16 and 64 simulated radios of each family, and
// that time over the time of reading a single one. The radios behave as delivered (a module
// in data mode with its guard times, a modem sending its banner 600 ms after the port
// opens), so a read is mostly waiting and reads in parallel should overlap.
//
// Run: oryx_parallel_read_bench [repetitions, default 3] [counts, default 1 16 64]
// Each figure is the median of the repetitions.

#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The seconds one oryx-cli run takes, which must succeed.
double TimeRun(const std::vector<std::string>& args) {
    std::vector<char*> argv = {const_cast<char*>(ORYX_CLI_PATH)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, ORYX_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start oryx-cli");
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("oryx-cli " + args[0] + " " + args[1] + " failed");
    }
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The radios of one family, started once and read again and again: a read leaves each as
// it found it.
template <typename RadioT, typename OptionsT> class FleetC {
public:
    FleetC(const std::string& family, std::size_t count) : family_(family) {
        for (std::size_t i = 0; i < count; ++i) {
            OptionsT options;
            options.linkName =
                "bench-" + family + "-" + std::to_string(::getpid()) + "-" + std::to_string(i);
            radios_.push_back(std::make_unique<RadioT>(options));
            radios_.back()->start();
        }
        listFile_ = "/tmp/oryx-bench-" + family + "-" + std::to_string(::getpid()) + ".txt";
    }
    ~FleetC() { std::remove(listFile_.c_str()); }

    // A single radio is read the way one is read today; several through a list file.
    std::vector<std::string> ReadArgs(std::size_t count) const {
        if (count == 1) {
            return {family_, "read", "--port", radios_.front()->portText()};
        }
        std::ofstream list(listFile_, std::ios::trunc);
        for (std::size_t i = 0; i < count; ++i) {
            list << radios_[i]->portText() << '\n';
        }
        return {family_, "read", "--ports-from", listFile_};
    }

private:
    std::string family_;
    std::vector<std::unique_ptr<RadioT>> radios_;
    std::string listFile_;
};

template <typename FleetT>
void Measure(const char* family, FleetT& fleet, const std::vector<std::size_t>& counts,
             int repetitions) {
    double single = 0;
    for (const std::size_t count : counts) {
        std::vector<double> times;
        const std::vector<std::string> args = fleet.ReadArgs(count);
        for (int r = 0; r < repetitions; ++r) {
            times.push_back(TimeRun(args));
        }
        const double median = Median(times);
        if (count == 1) {
            single = median;
        }
        std::printf("%-7s %4zu radios  %7.3f s", family, count, median);
        if (single > 0) {
            std::printf("  %5.2f x one", median / single);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<std::size_t> counts;
    for (int i = 2; i < argc; ++i) {
        counts.push_back(static_cast<std::size_t>(std::max(1, std::atoi(argv[i]))));
    }
    if (counts.empty()) {
        counts = {1, 16, 64};
    }
    if (std::find(counts.begin(), counts.end(), 1u) == counts.end()) {
        counts.insert(counts.begin(), 1);
    }
    const std::size_t most = *std::max_element(counts.begin(), counts.end());
    try {
        // One family at a time: every simulated radio holds several descriptors.
        {
            FleetC<oryx::sim::ModuleRadio, oryx::sim::ModuleRadioOptions> modules("module", most);
            Measure("module", modules, counts, repetitions);
        }
        FleetC<oryx::sim::ModemRadio, oryx::sim::ModemRadioOptions> modems("modem", most);
        Measure("modem", modems, counts, repetitions);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "oryx_parallel_read_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
