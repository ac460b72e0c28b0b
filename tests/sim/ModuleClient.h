#pragma once

#include "ModemClient.h"
#include "sim/ModuleRadio.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace oryx::sim::test {

// A scripted stand-in for the program in front of a simulated radio module.
class ModuleClient {
public:
    ModuleClient(ModuleRadio& radio, std::uint32_t baud);

    ModemClient& line() { return m_line; }
    void send(const std::string& bytes);
    // Sends the text with its CR and returns everything up to the final OK or ERROR.
    std::string command(const std::string& text);
    // Waits until the module has taken in everything this client sent.
    bool waitUntilHeard();
    // Silence, "///", silence: each silence is timed from the moment the module heard the
    // bytes before it, so a slow machine only lengthens it.
    void escape(std::chrono::milliseconds silence);

private:
    ModuleRadio& m_radio;
    ModemClient m_line;
    std::size_t m_expectHeard;
};

} // namespace oryx::sim::test
