// oryx-cli over a slow link: a simulated radio served by ser2net (chardelay: false), with a
// delaying proxy between it and the program, at several one-way delays with 20 ms of jitter.
// For each delay it runs a module read and a module write (the module in data mode at 9600,
// the run starting at 115200 and falling back, as a technician's run would) and a modem read
// (the banner sent while the program waits, at the rate tried), and prints how many runs
// succeeded and their median and longest time.
//
// Run: oryx_slow_link_bench [runs, default 3] [one-way delays in ms, default 0 50 150 300]
// Needs ser2net (tools/install-deps installs it).

#include "DelayProxyC.h"
#include "Ser2netServerC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr auto kJitter = 20ms;

struct RunS {
    bool ok = false;
    double seconds = 0;
};

// Runs oryx-cli with its messages and output on one pipe; onLine sees each line as it comes.
RunS RunCli(const std::string& args, const std::function<void(const std::string&)>& onLine) {
    const std::string command = std::string(ORYX_CLI_PATH) + " " + args + " 2>&1";
    const auto start = Clock::now();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    char line[1024];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        onLine(line);
    }
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) && WEXITSTATUS(status) == 0,
            std::chrono::duration<double>(Clock::now() - start).count()};
}

std::string LinkName(const char* family) {
    static int count = 0;
    return std::string("slow-link-") + family + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++count);
}

void Print(int delayMs, const char* what, std::vector<RunS> runs) {
    const auto ok = std::count_if(runs.begin(), runs.end(), [](const RunS& r) { return r.ok; });
    std::sort(runs.begin(), runs.end(),
              [](const RunS& a, const RunS& b) { return a.seconds < b.seconds; });
    std::printf("%4d ms  %-13s %2ld/%zu ok  median %6.1f s  longest %6.1f s\n", delayMs, what,
                static_cast<long>(ok), runs.size(), runs[runs.size() / 2].seconds,
                runs.back().seconds);
    std::fflush(stdout);
}

// Every run of one kind against one radio, through its own server and link.
template <typename Radio>
bool Bench(Radio& radio, int delayMs, int runs, const char* what, const std::string& args,
           const std::function<void(const std::string&)>& onLine) {
    Ser2netServerC server(radio.portText(), true, false);
    if (!server.available()) {
        std::printf("ser2net: %s\n", server.problem().c_str());
        return false;
    }
    DelayProxyC link(server.port(), std::chrono::milliseconds(delayMs), kJitter);
    if (!link.available()) {
        std::printf("%s\n", link.problem().c_str());
        return false;
    }
    std::vector<RunS> results;
    for (int i = 0; i < runs; ++i) {
        results.push_back(RunCli(args + " --port " + link.portText() + " --json", onLine));
    }
    Print(delayMs, what, results);
    return true;
}

bool BenchDelay(int delayMs, int runs) {
    oryx::sim::ModuleRadioOptions moduleOptions;
    moduleOptions.settings.baudCode = 5; // 9600
    moduleOptions.storedSettings = moduleOptions.settings;
    moduleOptions.linkName = LinkName("module");
    oryx::sim::ModuleRadio module(moduleOptions);
    module.start();
    const auto nothing = [](const std::string&) {};
    if (!Bench(module, delayMs, runs, "module read", "module read", nothing) ||
        !Bench(module, delayMs, runs, "module write", "module write --name Mast --role client",
               nothing)) {
        return false;
    }

    oryx::sim::ModemRadioOptions modemOptions;
    modemOptions.baud = 19200;
    modemOptions.bannerOnOpen = false;
    modemOptions.linkName = LinkName("modem");
    oryx::sim::ModemRadio modem(modemOptions);
    modem.start();
    // The cable is reconnected while the program waits for the radio.
    const auto reconnect = [&modem](const std::string& line) {
        if (line.find("Waiting for radio at") != std::string::npos) {
            modem.reconnectCable();
        }
    };
    return Bench(modem, delayMs, runs, "modem read", "modem read --baud 19200", reconnect);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> delays;
    for (int i = 2; i < argc; ++i) {
        delays.push_back(std::atoi(argv[i]));
    }
    if (delays.empty()) {
        delays = {0, 50, 150, 300};
    }
    std::printf("one-way delay, jitter %ld ms, %d runs each\n", static_cast<long>(kJitter.count()),
                runs);
    std::fflush(stdout); // before the runs' processes inherit the buffer
    for (int delay : delays) {
        if (!BenchDelay(delay, runs)) {
            return 1;
        }
    }
    return 0;
}
