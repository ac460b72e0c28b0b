#pragma once

#include "modem/ModemValuesS.h"

#include <optional>
#include <string>

// What to change on a connected radio; a value not given keeps the radio's.
struct ModemChangeS {
    // Case is ignored.
    std::optional<std::string> device = std::nullopt;
    std::optional<std::string> mode = std::nullopt;
    std::optional<int> link = std::nullopt;
    // Bit/s, one of the family's rates.
    std::optional<int> baud = std::nullopt;
    // Two hexadecimal digits; band and power are written in service mode only.
    std::optional<std::string> band = std::nullopt;
    std::optional<int> power = std::nullopt;

    // Every setting of the values.
    static ModemChangeS To(const ModemValuesS& values) {
        return {values.device, values.mode, values.link, values.baud, values.band, values.power};
    }
};
