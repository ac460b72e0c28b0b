#pragma once

#include "modem/ModemValuesS.h"

#include <optional>
#include <string>

// What to change on a connected radio; a value not given keeps the radio's.
struct ModemChangeS {
    // Case is ignored.
    std::optional<std::string> device;
    std::optional<std::string> mode;
    std::optional<int> link;
    // Bit/s, one of the family's rates.
    std::optional<int> baud;
    // Two hexadecimal digits; band and power are written in service mode only.
    std::optional<std::string> band;
    std::optional<int> power;

    // Every setting of the values.
    static ModemChangeS To(const ModemValuesS& values) {
        return {values.device, values.mode, values.link, values.baud, values.band, values.power};
    }
};
