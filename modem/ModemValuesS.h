#pragma once

#include <optional>
#include <string>

// A modem radio's settings as values: what a read found, or what a profile holds. Band and
// power are there only when they were read in service mode.
struct ModemValuesS {
    int model = 0;
    // As the model's record names them ("ORYX62R", "Remote").
    std::string device = {};
    std::string mode = {};
    int link = 0;
    // Bit/s.
    int baud = 0;
    // Two upper-case hexadecimal digits.
    std::optional<std::string> band = std::nullopt;
    std::optional<int> power = std::nullopt;
};
