#pragma once

#include "platform/PortDetails.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <vector>

// The `ports` command of oryx-cli: every serial port with what the machine knows about it,
// as a table or as JSON.
class PortsCommandC {
public:
    explicit PortsCommandC(CLI::App& parent);

    // True when the parsed command line chose `ports`.
    bool Chosen() const { return ports_->parsed(); }
    int Run(std::ostream& out) const;

    static void WriteTable(const std::vector<oryx::platform::PortDetails>& ports,
                           std::ostream& out);
    static void WriteJson(const std::vector<oryx::platform::PortDetails>& ports, std::ostream& out);

private:
    CLI::App* ports_;
    bool json_ = false;
};
