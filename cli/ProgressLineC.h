#pragma once

#include <chrono>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

// Standard error of a run over several ports: each port's progress as lines of its own,
// "port: text", and on a terminal one live line below them that counts the ports done,
// running and waiting and names those running. Every call may come from any thread.
class ProgressLineC {
public:
    // live: standard error is a terminal of this many columns; otherwise 0.
    ProgressLineC(std::ostream& err, std::vector<std::string> ports, int liveColumns);

    // The port has left the queue and runs now.
    void Started(std::size_t port);
    void Line(std::size_t port, const std::string& text);
    // The port's run is over; failed tells whether it fell short.
    void Finished(std::size_t port, const std::string& status, bool failed);
    // Redraws the live line, whose time has moved on.
    void Tick();
    // Clears the live line for good, before the results are printed.
    void End();

private:
    std::string LiveText() const;
    void ClearLive();
    void DrawLive();

    std::mutex lock_;
    std::ostream& err_;
    std::vector<std::string> ports_;
    enum class StateT { Waiting, Running, Done };
    std::vector<StateT> states_;
    std::size_t running_ = 0;
    std::size_t finished_ = 0;
    std::size_t failed_ = 0;
    int liveColumns_;
    bool liveShown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
