#pragma once

#include "platform/Waker.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

// A slow network between the program and a device server, on 127.0.0.1: it forwards one TCP
// connection at a time to the target port and holds every chunk, each way, for the one-way
// delay plus or minus the jitter. Chunks keep their order (a chunk never overtakes the one
// before it, as on TCP), and chunks read apart are sent apart, so silences on the line stay
// silences. What waits in it is bounded: past the limit it stops reading that side.
class DelayProxyC {
public:
    using Ms = std::chrono::milliseconds;
    static constexpr std::size_t kMaxHeld = 1 << 20;

    DelayProxyC(int targetPort, Ms oneWay, Ms jitter);
    ~DelayProxyC();
    DelayProxyC(const DelayProxyC&) = delete;
    DelayProxyC& operator=(const DelayProxyC&) = delete;

    bool available() const { return listenFd_ >= 0; }
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    std::string portText() const;
    // Connections taken so far.
    int connections() const;

private:
    using Clock = std::chrono::steady_clock;
    struct ChunkS {
        Clock::time_point due;
        std::vector<unsigned char> bytes;
    };
    // One direction of the connection: bytes read from `from`, held, then written to `to`.
    struct FlowS {
        int from = -1;
        int to = -1;
        std::deque<ChunkS> held;
        std::size_t heldBytes = 0;
        Clock::time_point lastDue{};
        bool ended = false;
    };

    void Run();
    void Accept();
    void CloseConnection();
    bool ReadInto(FlowS& flow);
    bool SendDue(FlowS& flow);
    Clock::time_point DueFor(const FlowS& flow);
    int PollTimeoutMs() const;

    const int targetPort_;
    const Ms oneWay_;
    const Ms jitter_;
    int listenFd_ = -1;
    int port_ = 0;
    std::string problem_;
    std::mt19937 random_{2917};
    FlowS up_;   // program to server
    FlowS down_; // server to program
    mutable std::mutex mutex_;
    int connections_ = 0;
    oryx::platform::Waker stop_;
    std::thread thread_;
};
