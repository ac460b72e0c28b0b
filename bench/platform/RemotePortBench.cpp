// One module ping and one query, on the simulator's pty and through ser2net on loopback, in
// the same run; prints the median of each. Needs ser2net (tools/install-deps installs it).
#include "Ser2netServerC.h"
#include "platform/SerialDevice.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace platform = oryx::platform;

constexpr int kRounds = 200;

// Sends the command and reads until the reply ends with "OK\r\n"; false on a time-out.
bool Exchange(platform::SerialDevice& device, const std::string& command) {
    if (device.write(command.data(), command.size()).count != command.size()) {
        return false;
    }
    std::string reply;
    const auto until = Clock::now() + 2s;
    while (reply.find("OK\r\n") == std::string::npos && Clock::now() < until) {
        char buffer[256];
        const platform::IoResult got = device.read(buffer, sizeof buffer);
        if (!got.error.ok()) {
            return false;
        }
        reply.append(buffer, got.count);
    }
    return reply.find("OK\r\n") != std::string::npos;
}

double MedianMicroseconds(const std::string& portText) {
    platform::SerialDevice device;
    if (!device.open(portText).ok() || !device.configure(platform::LineSettings{}).ok()) {
        return -1;
    }
    // Returns as soon as a chunk is there, as the module link reads.
    device.setTimeouts(
        {platform::CommTimeouts::kMaxDword, platform::CommTimeouts::kMaxDword, 500, 0, 500});
    std::vector<double> rounds;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        if (!Exchange(device, "AT\r") || !Exchange(device, "AT*AGLN?\r")) {
            return -1;
        }
        rounds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::nth_element(rounds.begin(), rounds.begin() + kRounds / 2, rounds.end());
    return rounds[kRounds / 2];
}

} // namespace

int main() {
    oryx::sim::ModuleRadioOptions options;
    options.commandMode = true;
    options.replyDelay = 0ms;
    options.settings.baudCode = 5; // 9600, the rate LineSettings opens with
    options.linkName = "remote-bench-" + std::to_string(::getpid());
    oryx::sim::ModuleRadio module(options);
    module.start();
    const double local = MedianMicroseconds(module.portText());
    double remote[2] = {};
    for (const bool charDelay : {true, false}) {
        Ser2netServerC server(module.portText(), true, charDelay);
        if (!server.available()) {
            std::printf("ser2net: %s\n", server.problem().c_str());
            return 1;
        }
        remote[charDelay ? 0 : 1] = MedianMicroseconds(server.portText());
    }
    // ser2net by default waits a little for more characters before it sends a chunk on.
    std::printf("ping + query, median of %d (us): local pty %.0f, ser2net on loopback %.0f "
                "(its default char delay), %.0f (chardelay: false)\n",
                kRounds, local, remote[0], remote[1]);
    return local < 0 || remote[0] < 0 || remote[1] < 0 ? 1 : 0;
}
