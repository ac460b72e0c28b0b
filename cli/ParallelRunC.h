#pragma once

#include "cli/ExitStatusT.h"

#include <condition_variable>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

class ProgressLineC;

// One command on several ports at the same time, at most `jobs` of them at once, each on a
// thread of its own: the progress of each on standard error as it comes, then every result,
// as a table or as a JSON array in the order of the ports. The run succeeds only when every
// port did. A port waits for a free thread before its port is opened: a run that started
// every port at once would miss its own answer waits on a small machine.
//
// Ctrl-C is passed on to every running port, and ports still waiting never start; a port that
// has not ended shortly after is reported as cancelled and left behind, and the program ends
// without waiting for it.
class ParallelRunC {
public:
    struct StreamsS {
        std::ostream& out;
        std::ostream& err;
        // Columns of the terminal that standard error is; 0 when it is none.
        int errColumns;
    };
    // What one port does; progress goes to err, the result is the object a run on that one
    // port prints with --json (command, port, status, exitStatus, ...).
    using PortRunT = std::function<nlohmann::ordered_json(std::size_t index, std::ostream& err)>;

    ParallelRunC(std::string command, std::vector<std::string> ports, bool json,
                 std::function<bool()> cancelRequested, StreamsS streams, std::size_t jobs);

    ExitStatusT Run(const PortRunT& run);

private:
    void RunPorts(const PortRunT& run, ProgressLineC& progress);
    std::optional<std::size_t> TakePort();
    void RunPort(const PortRunT& run, ProgressLineC& progress, std::size_t index);
    bool AllEnded() const;
    bool WaitForPorts(ProgressLineC& progress);
    nlohmann::ordered_json RunOne(const PortRunT& run, std::size_t index, std::ostream& err) const;
    nlohmann::ordered_json Cancelled(std::size_t index) const;
    ExitStatusT Print(const std::vector<nlohmann::ordered_json>& results, bool cancelled) const;

    std::string command_;
    std::vector<std::string> ports_;
    bool json_;
    std::function<bool()> cancelRequested_;
    StreamsS streams_;
    std::size_t jobs_;

    std::mutex lock_;
    std::condition_variable ended_;
    std::vector<std::optional<nlohmann::ordered_json>> results_;
    // Ports are taken in order; those from next_ on have not started.
    std::size_t next_ = 0;
    std::size_t done_ = 0;
};
