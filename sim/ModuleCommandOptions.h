#pragma once

#include "sim/Faults.h"
#include "sim/ModuleFaults.h"
#include "sim/ModuleRadioOptions.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace oryx::sim {

// The options of "oryx-sim module": registered on the command line, then turned into the
// simulated module's options and faults.
class ModuleCommandOptions {
public:
    CLI::App* addTo(CLI::App& app);
    // Call after parsing. Throws std::invalid_argument naming the option that does not fit.
    void finish();

    const ModuleRadioOptions& options() const { return m_options; }
    const Faults& faults() const { return m_faults; }
    const ModuleFaults& moduleFaults() const { return m_moduleFaults; }
    bool log() const { return m_log; }
    // The options of the number-th of several modules (from 1): with --rates each runs at the
    // next of its rates in turn.
    ModuleRadioOptions optionsFor(int number) const;
    // The step of the program's at which the module vanishes; 0 for never.
    std::size_t unplugAfterSteps() const { return m_unplugAfterSteps; }

private:
    void takeDevice(const std::string& text);
    void takeWordFault(const std::string& text);
    void takePaired(const std::string& text);

    ModuleRadioOptions m_options;
    Faults m_faults;
    ModuleFaults m_moduleFaults;
    bool m_log = false;
    std::size_t m_unplugAfterSteps = 0;

    std::uint32_t m_baud = 115200;
    std::vector<std::uint32_t> m_rates;
    long m_storedBaudCode = 0;
    std::string m_mode = "data";
    std::vector<std::string> m_versions;
    std::string m_paired;
    std::vector<std::string> m_devices;
    std::vector<std::string> m_faultNames;
    std::vector<std::string> m_wordFaults;
    int m_delayMs = 0;
    int m_byteGapMs = 2;
    int m_replyDelayMs = 5;
    int m_inquiryDelayMs = 2000;
    int m_nameDelayMs = 300;
    int m_guardTimeMs = 1000;
};

} // namespace oryx::sim
