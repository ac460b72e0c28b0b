#include "cli/DiscoverReportC.h"

#include "cli/TextsC.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ostream>

namespace {

const char* StatusName(ExitStatusT status) {
    switch (status) {
    case ExitStatusT::Success:
        return "found";
    case ExitStatusT::Cancelled:
        return "cancelled";
    default:
        return "none found";
    }
}

// Columns as wide as their widest entry, two blanks between them; every entry as a terminal
// may show it, since names come from the radios.
template <std::size_t N>
void PrintTable(std::ostream& out, const std::vector<std::array<std::string, N>>& rows) {
    std::array<std::size_t, N> widths{};
    std::vector<std::array<std::string, N>> shown;
    for (const auto& row : rows) {
        auto& entry = shown.emplace_back();
        std::transform(row.begin(), row.end(), entry.begin(), TextsC::ForTerminal);
        for (std::size_t i = 0; i < N; ++i) {
            widths[i] = std::max(widths[i], entry[i].size());
        }
    }
    for (const auto& row : shown) {
        std::string line;
        for (std::size_t i = 0; i < N; ++i) {
            line += row[i] + std::string(widths[i] - row[i].size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

} // namespace

DiscoverReportC::DiscoverReportC(std::string family, std::vector<DiscoveredPortS> ports,
                                 bool cancelled)
    : family_(std::move(family)), ports_(std::move(ports)), cancelled_(cancelled) {}

std::size_t DiscoverReportC::FoundCount() const {
    return static_cast<std::size_t>(std::count_if(
        ports_.begin(), ports_.end(), [](const DiscoveredPortS& port) { return port.found; }));
}

ExitStatusT DiscoverReportC::Status() const {
    if (cancelled_) {
        return ExitStatusT::Cancelled;
    }
    return FoundCount() > 0 ? ExitStatusT::Success : ExitStatusT::RadioFailed;
}

nlohmann::ordered_json DiscoverReportC::Json() const {
    nlohmann::ordered_json found = nlohmann::ordered_json::array();
    nlohmann::ordered_json notFound = nlohmann::ordered_json::array();
    for (const DiscoveredPortS& port : ports_) {
        nlohmann::ordered_json entry;
        entry["port"] = port.port;
        if (!port.found) {
            entry["family"] = family_;
            entry["reason"] = port.reason;
            notFound.push_back(std::move(entry));
            continue;
        }
        entry["family"] = port.family;
        entry[port.family == DiscoveredPortS::kModule ? "name" : "model"] = port.model;
        if (!port.address.empty()) {
            entry["address"] = port.address;
        }
        entry["baud"] = std::atoi(port.baud.c_str());
        found.push_back(std::move(entry));
    }
    const ExitStatusT status = Status();
    nlohmann::ordered_json report;
    report["command"] = "discover";
    report["family"] = family_;
    report["status"] = StatusName(status);
    report["exitStatus"] = static_cast<int>(status);
    report["found"] = std::move(found);
    report["notFound"] = std::move(notFound);
    return report;
}

void DiscoverReportC::PrintTables(std::ostream& out) const {
    std::vector<std::array<std::string, 5>> radios = {
        {"PORT", "FAMILY", "MODEL/NAME", "ADDRESS", "BAUD"}};
    std::vector<std::array<std::string, 2>> others = {{"PORT", "NOTHING FOUND"}};
    for (const DiscoveredPortS& port : ports_) {
        if (port.found) {
            radios.push_back(
                {port.port, port.family, OrDash(port.model), OrDash(port.address), port.baud});
        } else {
            others.push_back({port.port, port.reason});
        }
    }
    if (radios.size() > 1) {
        PrintTable(out, radios);
    } else {
        out << "No radio found.\n";
    }
    if (others.size() > 1) {
        out << '\n';
        PrintTable(out, others);
    }
    out.flush();
}

std::string DiscoverReportC::Describe(const DiscoveredPortS& port) {
    if (!port.found) {
        return port.reason;
    }
    std::string text = port.family + " " + port.model;
    if (!port.address.empty()) {
        text += " (" + port.address + ")";
    }
    return text + " at " + port.baud + " baud";
}
