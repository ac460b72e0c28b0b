#include "sim/ModuleSettings.h"

#include <algorithm>
#include <utility>

namespace oryx::sim {
namespace {

constexpr std::array<std::pair<long, std::uint32_t>, 9> kRates{{{4, 4800},
                                                                {5, 9600},
                                                                {6, 19200},
                                                                {7, 38400},
                                                                {8, 57600},
                                                                {9, 115200},
                                                                {10, 230400},
                                                                {11, 460800},
                                                                {12, 921600}}};

} // namespace

ModuleSettings ModuleSettings::makerDefaults() const {
    ModuleSettings defaults;
    defaults.address = address;
    defaults.versions = versions;
    return defaults;
}

platform::LineSettings ModuleSettings::line() const {
    platform::LineSettings line;
    line.baudRate = rateForCode(baudCode).value_or(0);
    line.stopBits = stopBitsCode == 2 ? platform::StopBits::Two : platform::StopBits::One;
    return line;
}

std::optional<std::uint32_t> ModuleSettings::rateForCode(long code) {
    const auto found = std::find_if(kRates.begin(), kRates.end(),
                                    [code](const auto& entry) { return entry.first == code; });
    return found == kRates.end() ? std::nullopt : std::optional(found->second);
}

std::optional<long> ModuleSettings::codeForRate(std::uint32_t rate) {
    const auto found = std::find_if(kRates.begin(), kRates.end(),
                                    [rate](const auto& entry) { return entry.second == rate; });
    return found == kRates.end() ? std::nullopt : std::optional(found->first);
}

} // namespace oryx::sim
