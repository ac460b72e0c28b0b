#include "modem/ModemModelsC.h"

#include <algorithm>
#include <array>

const std::vector<std::string>& ModemModelsC::BaudRates() {
    static const std::vector<std::string> rates = {"4800",  "9600",  "14400",
                                                   "19200", "57600", "115200"};
    return rates;
}

int ModemModelsC::BaudIndex(const std::string& baudText) {
    const auto& rates = BaudRates();
    auto found = std::find(rates.begin(), rates.end(), baudText);
    return found == rates.end() ? -1 : static_cast<int>(found - rates.begin());
}

std::vector<std::string> ModemModelsC::Devices(int modelNumber) {
    switch (modelNumber) {
    case kModel2400:
        return {"ORYX61R", "ORYX61B"};
    case kModel2410:
        return {"ORYX62R", "ORYX62B", kVariantDevice};
    default:
        return {"ORYX63R", "ORYX63B"};
    }
}

std::optional<std::string> ModemModelsC::BaudRateCode(int modelNumber, int baudIndex) {
    static const std::array<const char*, 6> codes2400 = {"109", "083", "057", "040", "014", "009"};
    static const std::array<const char*, 6> codes2410 = {"2F", "17", "0F", "0B", "03", "01"};
    static const std::array<const char*, 6> codes2450 = {"5F", "2F", "1F", "17", "07", "03"};
    if (baudIndex < 0 || baudIndex > kLastBaudIndex) {
        return std::nullopt;
    }
    const auto i = static_cast<size_t>(baudIndex);
    switch (modelNumber) {
    case kModel2400:
        return codes2400[i];
    case kModel2410:
        return codes2410[i];
    case kModel2450:
        return codes2450[i];
    default:
        return std::nullopt;
    }
}

std::optional<std::string> ModemModelsC::WorldwideBand(int modelNumber) {
    switch (modelNumber) {
    case kModel2400:
        return "01";
    case kModel2410:
        return "06";
    case kModel2450:
        return "0B";
    default:
        return std::nullopt;
    }
}

std::vector<std::string> ModemModelsC::PowerLevels(int modelNumber) {
    if (modelNumber == kModel2450) {
        return {"Low 10mW", "Med 63mW (def.)", "High 250mW"};
    }
    return {"Low 10mW", "High 100mW (def.)"};
}
