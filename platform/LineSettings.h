#pragma once

#include <cstdint>

namespace oryx::platform {

enum class Parity { None, Odd, Even };
enum class StopBits { One, Two };

// Everything the program sets on a serial line. DTR and RTS are the line states while the
// port is open; RTS is driven by the handshake instead while rtsCtsHandshake is on.
struct LineSettings {
    std::uint32_t baudRate = 9600;
    int dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    bool rtsCtsHandshake = false;
    bool dtrOn = true;
    bool rtsOn = true;

    bool operator==(const LineSettings&) const = default;
};

} // namespace oryx::platform
