#pragma once

#include <chrono>
#include <string>
#include <vector>

// A program run as a child process with its standard input fed from a text and its standard
// output and error captured.
class CliProcessC {
public:
    using Milliseconds = std::chrono::milliseconds;

    CliProcessC(const std::string& program, const std::vector<std::string>& args,
                const std::string& input = "");
    ~CliProcessC();
    CliProcessC(const CliProcessC&) = delete;
    CliProcessC& operator=(const CliProcessC&) = delete;

    // True once standard error holds the text.
    bool WaitForError(const std::string& text, Milliseconds timeout);
    void Interrupt();
    // The exit status, or -1 when the child did not end in time (it is then killed) or ended
    // by a signal.
    int Wait(Milliseconds timeout);

    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    // Collects output until the deadline or until both pipes are closed; false at the deadline.
    bool Collect(std::chrono::steady_clock::time_point deadline, const std::string* untilError);

    int pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};
