#pragma once

#include "modem/ModemModelS.h"

#include <optional>
#include <string>
#include <vector>

// The table of the modem family's models, one record each, and the baud-rate list they share.
// The simulator keeps a table of its own on purpose: it stands for the radio, so a mistake
// here shows up as a difference on the wire instead of agreeing with itself.
class ModemModelsC {
public:
    static constexpr int kModel2400 = 2400;
    static constexpr int kModel2410 = 2410;
    static constexpr int kModel2450 = 2450;
    static constexpr const char* kVariantDevice = "KV7730";

    // The record of a model; a model the table does not list gets the record for unknown
    // models (the 2450's devices, no codes, no bands, no fixed parameters).
    static const ModemModelS& Model(int modelNumber);

    // The baud-rate box, in order; the last index is where the search wraps around.
    static const std::vector<std::string>& BaudRates();
    static constexpr int kLastBaudIndex = 5;
    static int BaudIndex(const std::string& baudText);

    // The "sd" code for a baud-rate index, or nothing for a model without codes.
    static std::optional<std::string> BaudRateCode(int modelNumber, int baudIndex);
};
