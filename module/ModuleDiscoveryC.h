#pragma once

#include "common/DiscoveredPortS.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Finds modules without knowing their port or rate: every port is probed the way a connect
// reaches a module, at each rate the rate boxes offer, many ports at once.
class ModuleDiscoveryC {
public:
    struct OptionsS {
        std::size_t jobs = 256;          // ports probed at once, at most
        std::function<bool()> cancelled; // polled; true ends every probe soon, as stopped
        // Each port as it finishes; from any thread (one call at a time).
        std::function<void(const DiscoveredPortS&)> portDone;
        // The rate tried first on every port; the others follow in the rate boxes' order.
        std::string firstBaud = "115200";
    };
    // Probes every port at each rate of the dialog's rate list (module's own way into command
    // mode: escape with guard times, ping), asks name and address, leaves the module in the
    // mode it was found in. Writes nothing. Blocking; callable from any thread; one result per
    // port in the order given.
    static std::vector<DiscoveredPortS> Run(const std::vector<std::string>& ports,
                                            const OptionsS& options);

    // One port, on the calling thread.
    static DiscoveredPortS Probe(const std::string& port, const OptionsS& options);
};
