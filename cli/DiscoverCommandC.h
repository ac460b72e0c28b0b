#pragma once

#include "cli/DiscoverOptionsS.h"
#include "common/DiscoveredPortS.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// The `discover` command of oryx-cli: finds the radios on the ports given, or on every port
// listed, through the families' discovery cores, and prints what it found.
class DiscoverCommandC {
public:
    explicit DiscoverCommandC(CLI::App& parent);

    // True when the parsed command line chose `discover`.
    bool Chosen() const { return discover_->parsed(); }
    bool Json() const { return options_.json; }

    // The ports to look at: those given, or every port listed when none is; an error text
    // naming the option when the ones given do not do.
    std::string CollectPorts(std::vector<std::string>& ports) const;
    int Run(const std::vector<std::string>& ports, std::ostream& out, std::ostream& err,
            const std::function<bool()>& cancelRequested) const;

private:
    std::vector<DiscoveredPortS> Find(const std::vector<std::string>& ports, std::ostream& err,
                                      const std::function<bool()>& cancelRequested) const;
    std::vector<DiscoveredPortS> Modules(const std::vector<std::string>& ports, std::ostream& err,
                                         const std::function<bool()>& cancelRequested) const;
    std::vector<DiscoveredPortS> Modem(const std::vector<std::string>& ports, std::ostream& err,
                                       const std::function<bool()>& cancelRequested) const;

    DiscoverOptionsS options_;
    CLI::App* discover_;
};
