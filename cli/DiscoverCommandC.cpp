#include "cli/DiscoverCommandC.h"

#include "ORC_WireTap.h"
#include "cli/DiscoverReportC.h"
#include "cli/PortListC.h"
#include "cli/TextsC.h"
#include "cli/WireTraceScopeC.h"
#include "modem/ModemDiscoveryC.h"
#include "modem/ModemModelsC.h"
#include "module/ModuleBaudC.h"
#include "module/ModuleDiscoveryC.h"
#include "platform/PortEnumerator.h"
#include "platform/WireTraceHub.h"

#include <chrono>
#include <memory>
#include <ostream>
#include <thread>

namespace {

constexpr const char* kFooter =
    "With no --port and no --ports-from every port `oryx-cli ports` lists is looked at. Nothing "
    "is written to a radio's settings, and a port another program holds is reported as busy, "
    "not taken over.\n\n"
    "module: every port at once (at most --jobs), at --module-baud and then at 4800 9600 19200 "
    "57600 115200, each the way a connect does it (the escape /// with its guard times, then "
    "AT); a module that answers is asked its name and address and left in the mode it was "
    "found in (one the escape brought to command mode goes back to data mode). A port takes up "
    "to about 15 s; many ports take about as long as one.\n\n"
    "modem: the radio speaks only when its cable is reconnected. Every port listens at once at "
    "--modem-baud while you reconnect the radio, as standard error asks you to; the port that "
    "hears it is the radio's. When what it heard was not the banner, the other rates are tried "
    "on that port alone, each after another reconnect.\n\n"
    "all (the default): modules first, then the modem on the ports where no module answered.\n\n"
    "Standard output: a table of the radios found (port, family, model or name, address, "
    "baud), then the ports where nothing was found and why (busy, permission denied, no "
    "answer, ...); with --json one object: command, family, status, exitStatus, found "
    "[{port, family, name or model, address, baud}], notFound [{port, family, reason}]. "
    "Progress goes to standard error.\n\n"
    "Exit status: 0 a radio was found, 1 none was, 2 usage error, 4 cancelled (Ctrl-C).";

std::string Shown(const std::string& port) {
    return TextsC::ForTerminal(port);
}

// A trace file per port, as runs over several ports keep them; one port keeps the name given.
std::vector<std::unique_ptr<WireTraceScopeC>>
Traces(const std::string& file, const std::vector<std::string>& ports, std::ostream& err) {
    std::vector<std::unique_ptr<WireTraceScopeC>> traces;
    if (file.empty()) {
        return traces;
    }
    const std::vector<std::string> files =
        ports.size() == 1 ? std::vector<std::string>{file} : PortListC::FilesPerPort(file, ports);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        traces.push_back(std::make_unique<WireTraceScopeC>(files[i], ports[i], err));
    }
    ORC::setWireTap(&oryx::platform::WireTraceHub::take);
    return traces;
}

} // namespace

DiscoverCommandC::DiscoverCommandC(CLI::App& parent) {
    discover_ = parent.add_subcommand(
        "discover", "Find the radios: which port, which family, which rate (and the module's "
                    "name and address)");
    discover_->footer(kFooter);
    discover_->add_option("--family", options_.family, "Which family to look for")
        ->check(CLI::IsMember({"module", "modem", "all"}))
        ->capture_default_str();
    PortListC::AddOptions(*discover_, options_.portChoice);
    discover_
        ->add_option("--module-baud", options_.moduleBaud,
                     "Rate each port is tried at first for a module")
        ->check(CLI::IsMember(ModuleBaudC::ConnectRates()))
        ->capture_default_str();
    discover_
        ->add_option("--modem-baud", options_.modemBaud, "Rate the ports listen at for the modem")
        ->check(CLI::IsMember(ModemModelsC::BaudRates()))
        ->capture_default_str();
    discover_
        ->add_option("--wait", options_.waitSeconds,
                     "Seconds each wait for the modem lasts before it counts as no answer")
        ->check(CLI::Range(1, 3600))
        ->capture_default_str();
    discover_->add_flag("--json", options_.json, "Print the result as one JSON object");
    discover_->add_option("--trace", options_.trace, WireTraceScopeC::kOptionHelp);
}

std::string DiscoverCommandC::CollectPorts(std::vector<std::string>& ports) const {
    const PortChoiceS& choice = options_.portChoice;
    if (choice.ports.empty() && choice.portsFrom.empty()) {
        ports = oryx::platform::PortEnumerator().listPorts();
        return {};
    }
    return PortListC::Collect(choice, ports);
}

int DiscoverCommandC::Run(const std::vector<std::string>& ports, std::ostream& out,
                          std::ostream& err, const std::function<bool()>& cancelRequested) const {
    const auto traces = Traces(options_.trace, ports, err);
    const DiscoverReportC report(options_.family, Find(ports, err, cancelRequested),
                                 cancelRequested());
    for (const auto& trace : traces) {
        trace->Finish();
    }
    if (options_.json) {
        out << report.Json().dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
            << std::endl;
    } else {
        report.PrintTables(out);
    }
    return static_cast<int>(report.Status());
}

std::vector<DiscoveredPortS>
DiscoverCommandC::Find(const std::vector<std::string>& ports, std::ostream& err,
                       const std::function<bool()>& cancelRequested) const {
    if (ports.empty()) {
        err << "No serial ports found." << std::endl;
        return {};
    }
    if (options_.family == "modem") {
        return Modem(ports, err, cancelRequested);
    }
    std::vector<DiscoveredPortS> results = Modules(ports, err, cancelRequested);
    if (options_.family == "module" || cancelRequested()) {
        return results;
    }
    std::vector<std::string> left;
    for (const DiscoveredPortS& port : results) {
        if (!port.found) {
            left.push_back(port.port);
        }
    }
    if (left.empty()) {
        return results;
    }
    const std::vector<DiscoveredPortS> modem = Modem(left, err, cancelRequested);
    auto next = modem.begin();
    for (DiscoveredPortS& port : results) {
        if (!port.found) {
            port = *next++;
        }
    }
    return results;
}

std::vector<DiscoveredPortS>
DiscoverCommandC::Modules(const std::vector<std::string>& ports, std::ostream& err,
                          const std::function<bool()>& cancelRequested) const {
    err << "Looking for modules on " << ports.size() << (ports.size() == 1 ? " port" : " ports")
        << " (a port takes up to about 15 s; Ctrl-C cancels)" << std::endl;
    ModuleDiscoveryC::OptionsS options;
    options.jobs = options_.portChoice.jobs;
    options.cancelled = cancelRequested;
    options.firstBaud = options_.moduleBaud;
    options.portDone = [&err](const DiscoveredPortS& port) {
        err << Shown(port.port) << ": " << TextsC::ForTerminal(DiscoverReportC::Describe(port))
            << std::endl;
    };
    return ModuleDiscoveryC::Run(ports, options);
}

std::vector<DiscoveredPortS>
DiscoverCommandC::Modem(const std::vector<std::string>& ports, std::ostream& err,
                        const std::function<bool()>& cancelRequested) const {
    ModemDiscoveryC::OptionsS options;
    options.firstBaud = options_.modemBaud;
    options.waitLimitMs = options_.waitSeconds * 1000;
    options.wait.cancelled = cancelRequested;
    options.wait.pumpFor = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    bool first = true;
    options.askReconnect = [&](const std::string& text, const std::string& baud) {
        if (first) {
            err << "Listening for the modem on " << ports.size()
                << (ports.size() == 1 ? " port" : " ports") << " at " << baud << " baud.\n"
                << text << " (Ctrl-C cancels)" << std::endl;
            first = false;
        } else {
            err << "Waiting for radio at " << baud << " bps...\n" << text << std::endl;
        }
    };
    std::vector<DiscoveredPortS> results = ModemDiscoveryC::Run(ports, options);
    for (const DiscoveredPortS& port : results) {
        err << Shown(port.port) << ": " << TextsC::ForTerminal(DiscoverReportC::Describe(port))
            << std::endl;
    }
    return results;
}
