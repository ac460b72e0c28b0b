#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace oryx::sim {

struct ModemRadioOptions {
    // 2400, 2410 or 2450.
    int model = 2410;
    // Model 2410 only: the "KV7730" unit, whose range reads 4.
    bool kvVariant = false;
    // The radio's own rate; 8 data bits, no parity, one stop bit.
    std::uint32_t baud = 115200;
    // Name of the published link; empty gives "modem-<model>".
    std::string linkName;
    // Starting values of two-letter parameters ("wb", "wn", "pe", ...) over the maker's
    // defaults; they count as stored in the radio's permanent memory.
    std::map<std::string, unsigned> values;
    // Two-letter parameters whose set commands it answers with ERROR and keeps its value:
    // a radio that does not take them. Queries still answer.
    std::set<std::string> refused;

    std::chrono::milliseconds replyDelay{5};
    // The banner follows every opening of the port while the radio is not in command mode,
    // standing in for the cable being reconnected.
    bool bannerOnOpen = true;
    std::chrono::milliseconds bannerDelay{600};
    // Line noise (0 to 2 bytes) that precedes the banner, as when a cable is plugged in.
    int noiseBytes = 0;
    std::chrono::milliseconds noiseDelay{300};
    // Empty gives the model's own banner.
    std::string banner;
};

} // namespace oryx::sim
