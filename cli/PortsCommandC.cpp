#include "cli/PortsCommandC.h"

#include "cli/ExitStatusT.h"
#include "cli/TextsC.h"
#include "platform/PortCatalog.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>

using oryx::platform::PortCatalog;
using oryx::platform::PortDetails;

namespace {

constexpr size_t kColumns = 7;
using RowT = std::array<std::string, kColumns>;

const RowT kHeadings{"PORT", "DRIVER", "USB ID", "MANUFACTURER", "PRODUCT", "SERIAL", "STATUS"};

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// Link names and a USB device's own descriptor texts may hold anything.
RowT RowOf(const PortDetails& port) {
    RowT row{port.portText,        OrDash(port.driver),
             OrDash(port.usbId()), OrDash(port.manufacturer),
             OrDash(port.product), OrDash(port.serialNumber),
             port.openText()};
    std::transform(row.begin(), row.end(), row.begin(), TextsC::ForTerminal);
    return row;
}

// The long paths go on lines of their own under their port, so the table stays narrow; the
// device only where the port text does not already name it.
std::vector<std::string> PathLinesOf(const PortDetails& port) {
    std::vector<std::string> lines;
    if (!port.devicePath.empty() && port.devicePath != "/dev/" + port.portText) {
        lines.push_back("  device: " + TextsC::ForTerminal(port.devicePath));
    }
    if (!port.byIdLink.empty()) {
        lines.push_back("  by-id:  " + TextsC::ForTerminal(port.byIdLink));
    }
    return lines;
}

std::string LineOf(const RowT& row, const std::array<size_t, kColumns>& widths) {
    std::string line;
    for (size_t i = 0; i + 1 < kColumns; ++i) {
        line += row[i] + std::string(widths[i] - row[i].size() + 2, ' ');
    }
    return line + row[kColumns - 1];
}

// Scripts test for null, not for an empty text.
nlohmann::ordered_json TextOrNull(const std::string& text) {
    return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
}

} // namespace

PortsCommandC::PortsCommandC(CLI::App& parent)
    : ports_(parent.add_subcommand(
          "ports", "List the serial ports with their device, by-id link, driver, USB ids, "
                   "manufacturer, product, serial number and whether each opens now "
                   "(and why not). Simulators' ports are listed too.")) {
    ports_->add_flag("--json", json_,
                     "Print a JSON array, one object per port: port, device, byId, driver, "
                     "vendorId, productId, manufacturer, product, serial (null when unknown), "
                     "simulated, opens, problem (null when it opens)");
}

int PortsCommandC::Run(std::ostream& out) const {
    const std::vector<PortDetails> ports = PortCatalog().listPorts(PortCatalog::OpenCheck::Try);
    if (json_) {
        WriteJson(ports, out);
    } else {
        WriteTable(ports, out);
    }
    return static_cast<int>(ExitStatusT::Success);
}

void PortsCommandC::WriteTable(const std::vector<PortDetails>& ports, std::ostream& out) {
    if (ports.empty()) {
        out << "No serial ports found.\n";
        return;
    }
    std::vector<RowT> rows{kHeadings};
    std::transform(ports.begin(), ports.end(), std::back_inserter(rows), RowOf);
    std::array<size_t, kColumns> widths{};
    for (const RowT& row : rows) {
        for (size_t i = 0; i < kColumns; ++i) {
            widths[i] = std::max(widths[i], row[i].size());
        }
    }
    out << LineOf(kHeadings, widths) << "\n";
    for (size_t i = 0; i < ports.size(); ++i) {
        out << LineOf(rows[i + 1], widths) << "\n";
        for (const std::string& line : PathLinesOf(ports[i])) {
            out << line << "\n";
        }
    }
}

void PortsCommandC::WriteJson(const std::vector<PortDetails>& ports, std::ostream& out) {
    auto list = nlohmann::ordered_json::array();
    for (const PortDetails& port : ports) {
        nlohmann::ordered_json entry;
        entry["port"] = port.portText;
        entry["device"] = TextOrNull(port.devicePath);
        entry["byId"] = TextOrNull(port.byIdLink);
        entry["driver"] = TextOrNull(port.driver);
        entry["vendorId"] = TextOrNull(port.vendorId);
        entry["productId"] = TextOrNull(port.productId);
        entry["manufacturer"] = TextOrNull(port.manufacturer);
        entry["product"] = TextOrNull(port.product);
        entry["serial"] = TextOrNull(port.serialNumber);
        entry["simulated"] = port.simulated;
        const bool opens = port.openState && port.openState->ok();
        entry["opens"] = opens;
        entry["problem"] =
            opens ? nlohmann::ordered_json() : nlohmann::ordered_json(port.openText());
        list.push_back(entry);
    }
    out << list.dump(2) << std::endl;
}
