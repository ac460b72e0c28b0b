#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The ports a command was given: every --port in order, and the file of --ports-from.
struct PortChoiceS {
    // Each running port mostly waits for its radio, but it must be scheduled within its
    // shortest answer wait (200 ms); oryx_parallel_read_bench shows how many a small machine
    // keeps honest.
    static constexpr std::size_t kDefaultJobs = 256;

    std::vector<std::string> ports;
    std::string portsFrom;
    // How many of several ports run at once.
    std::size_t jobs = kDefaultJobs;

    // Asked for more than one port, or for a list: each port runs on its own and the results
    // come as a table or an array, also when the list holds a single port, so that a script
    // reading a list always gets the same shape.
    bool Several() const { return ports.size() > 1 || !portsFrom.empty(); }
};
