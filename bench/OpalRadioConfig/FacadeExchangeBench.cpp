// One ping and one query through the exported controller (getDefaultClientProfile sends "AT\r",
// then "AT*ADDCP?\r") against the simulated module with no reply delay, next to the floor: a
// plain poll() client doing the same two exchanges on the same pty in the same run. The two
// take turns round by round, as the port is exclusive while one of them holds it.
//
// Run: orc_facade_exchange_bench [samples per round, default 100]

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
constexpr int ROUNDS = 10;

class RawClient {
public:
    explicit RawClient(const std::string& path) {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (m_fd < 0 || ::tcgetattr(m_fd, &tio) != 0) {
            throw std::runtime_error("cannot open " + path);
        }
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B115200);
        ::tcsetattr(m_fd, TCSANOW, &tio);
        // The simulator notices an opened port on its next poll; bytes before that go unheard.
        usleep(100000);
    }
    ~RawClient() { ::close(m_fd); }

    void exchange(const std::string& command) {
        if (::write(m_fd, command.data(), command.size()) != static_cast<ssize_t>(command.size())) {
            throw std::runtime_error("write failed");
        }
        std::string answer;
        const std::string end = "\r\nOK\r\n";
        while (answer.size() < end.size() ||
               answer.compare(answer.size() - end.size(), end.size(), end) != 0) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, 1000) != 1) {
                throw std::runtime_error("no answer to " + command);
            }
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) {
                throw std::runtime_error("read failed");
            }
            answer.append(buffer, static_cast<size_t>(n));
        }
    }

private:
    int m_fd = -1;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 100;
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "facade-bench-" + std::to_string(::getpid());
    options.commandMode = true;
    options.replyDelay = 0ms;
    oryx::sim::ModuleRadio module(options);
    module.start();

    std::vector<double> facade;
    std::vector<double> raw;
    ORC::CFG::OpalDeviceControllerC controller;
    for (int round = 0; round < ROUNDS; ++round) {
        controller.createPort(module.slavePath().c_str(), ORC::CFG::RS232SettingsS{});
        if (controller.openPort() != ORC::CFG::CFG_OK) {
            std::fprintf(stderr, "the controller cannot open %s\n", module.slavePath().c_str());
            return 1;
        }
        for (int i = 0; i < samples; ++i) {
            ORC::CFG::ConnectionProfileT profile{};
            const auto start = Clock::now();
            if (controller.getDefaultClientProfile(profile) != ORC::CFG::CFG_OK) {
                std::fprintf(stderr, "query failed\n");
                return 1;
            }
            facade.push_back(microsecondsSince(start));
        }
        controller.closePort();

        RawClient client(module.slavePath());
        for (int i = 0; i < samples; ++i) {
            const auto start = Clock::now();
            client.exchange("AT\r");
            client.exchange("AT*ADDCP?\r");
            raw.push_back(microsecondsSince(start));
        }
    }
    const double facadeMedian = median(facade);
    const double rawMedian = median(raw);
    std::printf("ping + query, %zu samples each, medians:\n", facade.size());
    std::printf("  through the controller  %8.1f us\n", facadeMedian);
    std::printf("  raw poll() client       %8.1f us\n", rawMedian);
    std::printf("  ratio                   %8.2f x\n", facadeMedian / rawMedian);
    return 0;
}
