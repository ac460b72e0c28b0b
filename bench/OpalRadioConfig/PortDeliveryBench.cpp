// How fast the serial port hands an answer to a waiting consumer, next to the floor of a thread
// that blocks in poll() on the same pty; and what an open idle port costs: its reader thread's
// wake-ups (context switches) and CPU time, next to a thread that counts the queue every 10 ms.
//
// Run: orc_port_delivery_bench [samples per round, default 200] [idle seconds, default 10]

#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "ORC_PRT_SerialPortC.h"
#include "platform/TtyAttributes.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Time between samples, so that every sample measures a reader woken from its blocked wait.
constexpr auto SAMPLE_GAP = 1ms;
constexpr int ROUNDS = 10;

class Pty {
public:
    Pty() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
            ::ptsname_r(m_master, name, sizeof name) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        m_slave = name;
    }
    ~Pty() { ::close(m_master); }
    void writeByte() const {
        const char c = 'x';
        if (::write(m_master, &c, 1) != 1) {
            throw std::runtime_error("far end cannot write");
        }
    }
    const std::string& slave() const { return m_slave; }

private:
    int m_master = -1;
    std::string m_slave;
};

struct FiguresS {
    double dMedianUs = 0;
    double dP99Us = 0;
};

FiguresS figuresOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100]};
}

double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The floor: a thread blocked in poll() on the slave wakes and reads the byte.
void sampleRawPoll(const Pty& rPty, int iSamples, std::vector<double>& rOut) {
    const int fd = ::open(rPty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    oryx::platform::LineSettings line;
    line.baudRate = 115200;
    oryx::platform::TtyAttributes::applyRaw(fd, line);
    FWK::TSK::BinarySemaphoreC arrived(false);
    std::atomic<Clock::time_point::rep> received{0};
    std::atomic<bool> bStop{false};
    std::thread reader([&] {
        char buffer[64];
        pollfd pfd{fd, POLLIN, 0};
        while (!bStop) {
            if (::poll(&pfd, 1, 100) > 0 && ::read(fd, buffer, sizeof buffer) > 0) {
                received = Clock::now().time_since_epoch().count();
                arrived.release();
            }
        }
    });
    for (int i = 0; i < iSamples; ++i) {
        std::this_thread::sleep_for(SAMPLE_GAP);
        const auto sent = Clock::now();
        rPty.writeByte();
        if (!arrived.waitFor(1000)) {
            throw std::runtime_error("raw poll: byte lost");
        }
        rOut.push_back(microseconds(Clock::time_point(Clock::duration(received.load())) - sent));
    }
    bStop = true;
    reader.join();
    ::close(fd);
}

class TimingConsumerC : public FWK::BIO::ReadConsumerC {
public:
    void procReadData(const char*, uint32_t) override {
        m_received = Clock::now().time_since_epoch().count();
        m_arrived.release();
    }
    std::atomic<Clock::time_point::rep> m_received{0};
    FWK::TSK::BinarySemaphoreC m_arrived{false};
};

// The port: from the far end's write to procReadData being called on the reader thread.
void samplePort(const Pty& rPty, int iSamples, std::vector<double>& rOut) {
    ORC::PRT::SerialPortC port;
    port.SetPortName(FWK::UTI::StringC(rPty.slave()));
    if (!port.Connect()) {
        throw std::runtime_error("port does not connect");
    }
    TimingConsumerC consumer;
    port.ConnectReadConsumer(&consumer);
    for (int i = 0; i < iSamples; ++i) {
        std::this_thread::sleep_for(SAMPLE_GAP);
        const auto sent = Clock::now();
        rPty.writeByte();
        if (!consumer.m_arrived.waitFor(1000)) {
            throw std::runtime_error("port: byte lost");
        }
        rOut.push_back(
            microseconds(Clock::time_point(Clock::duration(consumer.m_received.load())) - sent));
    }
    port.ConnectReadConsumer(nullptr);
    port.Disconnect();
}

std::set<int> threadIds() {
    std::set<int> ids;
    if (DIR* pDir = ::opendir("/proc/self/task")) {
        while (dirent* pEntry = ::readdir(pDir)) {
            if (pEntry->d_name[0] != '.') {
                ids.insert(std::atoi(pEntry->d_name));
            }
        }
        ::closedir(pDir);
    }
    return ids;
}

struct ThreadCostS {
    long lSwitches = 0; // voluntary and involuntary
    double dCpuMs = 0;
};

ThreadCostS costOf(int iTid) {
    ThreadCostS cost;
    std::ifstream status("/proc/self/task/" + std::to_string(iTid) + "/status");
    for (std::string strLine; std::getline(status, strLine);) {
        if (strLine.find("ctxt_switches:") != std::string::npos) {
            cost.lSwitches += std::atol(strLine.substr(strLine.find(':') + 1).c_str());
        }
    }
    // The per-thread CPU clock of a thread of this process, made from its id.
    const clockid_t clock = (~static_cast<clockid_t>(iTid) << 3) | 6;
    timespec ts{};
    if (clock_gettime(clock, &ts) == 0) {
        cost.dCpuMs = ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    }
    return cost;
}

int newThreadSince(const std::set<int>& rBefore) {
    for (int iTid : threadIds()) {
        if (rBefore.count(iTid) == 0) {
            return iTid;
        }
    }
    return -1;
}

void reportIdle(const char* pszWhat, const ThreadCostS& rStart, const ThreadCostS& rEnd,
                double dSeconds) {
    std::printf("%-42s %8.1f wake-ups/s %8.3f ms CPU\n", pszWhat,
                (rEnd.lSwitches - rStart.lSwitches) / dSeconds, rEnd.dCpuMs - rStart.dCpuMs);
}

void measureIdle(int iSeconds) {
    Pty portPty, referencePty;
    ORC::PRT::SerialPortC port;
    port.SetPortName(FWK::UTI::StringC(portPty.slave()));
    const std::set<int> before = threadIds();
    if (!port.Connect()) {
        throw std::runtime_error("port does not connect");
    }
    const int iReader = newThreadSince(before);

    // What counting the queue every 10 ms costs, on a port of its own.
    const std::set<int> beforeReference = threadIds();
    std::atomic<bool> bStop{false};
    std::thread reference([&] {
        const int fd =
            ::open(referencePty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        while (!bStop) {
            int iQueued = 0;
            ::ioctl(fd, FIONREAD, &iQueued);
            std::this_thread::sleep_for(10ms);
        }
        ::close(fd);
    });
    std::this_thread::sleep_for(50ms);
    const int iReference = newThreadSince(beforeReference);

    const ThreadCostS readerStart = costOf(iReader), referenceStart = costOf(iReference);
    std::this_thread::sleep_for(std::chrono::seconds(iSeconds));
    const ThreadCostS readerEnd = costOf(iReader), referenceEnd = costOf(iReference);
    bStop = true;
    reference.join();
    port.Disconnect();

    std::printf("\nidle open port over %d s (thread %d):\n", iSeconds, iReader);
    reportIdle("  reader thread (poll on device + wake-up)", readerStart, readerEnd, iSeconds);
    reportIdle("  reference: queue counted every 10 ms", referenceStart, referenceEnd, iSeconds);
}

} // namespace

int main(int argc, char** argv) {
    const int iSamples = argc > 1 ? std::atoi(argv[1]) : 200;
    const int iIdleSeconds = argc > 2 ? std::atoi(argv[2]) : 10;
    try {
        Pty pty;
        std::vector<double> raw, port;
        // Alternating rounds on the same pty, so that drift of the machine hits both alike.
        for (int i = 0; i < ROUNDS; ++i) {
            sampleRawPoll(pty, iSamples, raw);
            samplePort(pty, iSamples, port);
        }
        const FiguresS rawFigures = figuresOf(raw), portFigures = figuresOf(port);
        std::printf("delivery latency, far-end write to consumer, %zu samples each:\n", raw.size());
        std::printf("  raw poll() floor      median %8.1f us   p99 %8.1f us\n",
                    rawFigures.dMedianUs, rawFigures.dP99Us);
        std::printf("  SerialPortC delivery  median %8.1f us   p99 %8.1f us\n",
                    portFigures.dMedianUs, portFigures.dP99Us);
        std::printf("  median ratio port / floor: %.2f\n",
                    portFigures.dMedianUs / rawFigures.dMedianUs);
        measureIdle(iIdleSeconds);
    } catch (const std::exception& rError) {
        std::fprintf(stderr, "benchmark failed: %s\n", rError.what());
        return 1;
    }
    return 0;
}
