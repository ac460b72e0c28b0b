#pragma once

#include "platform/SerialDevice.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace oryx::sim::test {

// A scripted stand-in for the program: opens a port at a rate and exchanges text with it.
class ModemClient {
public:
    ModemClient(const std::string& portText, std::uint32_t baud);

    platform::SerialDevice& device() { return m_device; }
    void setBaud(std::uint32_t baud);
    void send(const std::string& bytes);
    // Everything that arrives until the line has been quiet for `quiet`.
    std::string readUntilQuiet(std::chrono::milliseconds quiet);
    // Reads until the received text ends with `ending` or the time is up.
    std::string readUntilEnd(const std::string& ending, std::chrono::milliseconds timeout);
    // Sends a command line and returns the whole answer up to its prompt.
    std::string command(const std::string& text);

private:
    platform::SerialDevice m_device;
};

} // namespace oryx::sim::test
