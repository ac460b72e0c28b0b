#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program knows about each radio model of the modem family.
class ModemModelsC {
public:
    static constexpr int kModel2400 = 2400;
    static constexpr int kModel2410 = 2410;
    static constexpr int kModel2450 = 2450;
    static constexpr const char* kVariantDevice = "KV7730";

    // The baud-rate box, in order; the last index is where the search wraps around.
    static const std::vector<std::string>& BaudRates();
    static constexpr int kLastBaudIndex = 5;
    static int BaudIndex(const std::string& baudText);

    // Devices the Device box offers for a model (any unknown model gets the 2450 row).
    static std::vector<std::string> Devices(int modelNumber);

    // The "sd" code for a baud-rate index, or nothing for a model without codes.
    static std::optional<std::string> BaudRateCode(int modelNumber, int baudIndex);

    // The band code the service dialog writes for "worldwide", or nothing for other models.
    static std::optional<std::string> WorldwideBand(int modelNumber);

    // Power entries of the service dialog; the index is the value written.
    static std::vector<std::string> PowerLevels(int modelNumber);
};
