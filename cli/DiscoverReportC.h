#pragma once

#include "cli/ExitStatusT.h"
#include "common/DiscoveredPortS.h"

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// What `oryx-cli discover` found: one row per radio, then the ports where nothing answered
// and why; as tables for people or as one JSON object.
class DiscoverReportC {
public:
    DiscoverReportC(std::string family, std::vector<DiscoveredPortS> ports, bool cancelled);

    // Success when a radio was found, RadioFailed when none, Cancelled after Ctrl-C.
    ExitStatusT Status() const;
    nlohmann::ordered_json Json() const;
    void PrintTables(std::ostream& out) const;

    // One port as a progress line says it ("module ORYX-64 (0080370A1B2C) at 9600 baud").
    static std::string Describe(const DiscoveredPortS& port);

private:
    std::size_t FoundCount() const;

    std::string family_;
    std::vector<DiscoveredPortS> ports_;
    bool cancelled_;
};
