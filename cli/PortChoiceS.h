#pragma once

#include <string>
#include <vector>

// The ports a command was given: every --port in order, and the file of --ports-from.
struct PortChoiceS {
    std::vector<std::string> ports;
    std::string portsFrom;

    // Asked for more than one port, or for a list: each port runs on its own and the results
    // come as a table or an array, also when the list holds a single port, so that a script
    // reading a list always gets the same shape.
    bool Several() const { return ports.size() > 1 || !portsFrom.empty(); }
};
