#include "sim/ModemModel.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace oryx::sim {
namespace {

// Parameters every model knows: mode, link number, transmit power, frequency band, packet
// delivery attempts. The rest is per model.
const std::vector<std::string> kCommon{"wb", "wn", "wp", "pe", "pr"};

std::vector<std::string> withCommon(std::vector<std::string> own) {
    own.insert(own.end(), kCommon.begin(), kCommon.end());
    return own;
}

} // namespace

std::optional<unsigned> ModemModel::parseDigits(std::string_view text, int base) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : 99;
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    return value;
}

ModemModel::ModemModel(int number, std::vector<std::string> parameters,
                       std::map<std::string, unsigned> defaults, std::vector<RateCode> rateCodes,
                       bool decimalRateCodes, std::optional<std::uint32_t> rateAfterReset,
                       std::string family, std::string firmware)
    : m_number(number), m_parameters(std::move(parameters)), m_defaults(std::move(defaults)),
      m_rateCodes(std::move(rateCodes)), m_decimalRateCodes(decimalRateCodes),
      m_rateAfterReset(rateAfterReset), m_family(std::move(family)),
      m_firmware(std::move(firmware)) {}

const ModemModel& ModemModel::forNumber(int number) {
    static const ModemModel m2400(
        2400, withCommon({"wt"}),
        {{"wb", 0}, {"wn", 0}, {"wp", 1}, {"pe", 0x01}, {"pr", 0x10}, {"wt", 1}},
        {{4800, 109}, {9600, 83}, {14400, 57}, {19200, 40}, {57600, 14}, {115200, 9}}, true, 9600,
        "ORYX61", "2.7");
    static const ModemModel m2410(
        2410, withCommon({"dx", "pn", "pw", "wu"}),
        {{"wb", 0},
         {"wn", 0},
         {"wp", 1},
         {"pe", 0x06},
         {"pr", 0x10},
         {"dx", 0},
         {"pn", 1},
         {"pw", 0x34},
         {"wu", 1}},
        {{4800, 0x2F}, {9600, 0x17}, {14400, 0x0F}, {19200, 0x0B}, {57600, 0x03}, {115200, 0x01}},
        false, std::nullopt, "ORYX62", "3.1");
    static const ModemModel m2450(
        2450, withCommon({"dx", "dm", "pn", "pw", "wu", "zb", "zc", "zr", "zs", "ww"}),
        {{"wb", 0},
         {"wn", 0},
         {"wp", 1},
         {"pe", 0x0B},
         {"pr", 0x10},
         {"dx", 0x0F},
         {"dm", 1},
         {"pn", 1},
         {"pw", 0x2F},
         {"wu", 1},
         {"zb", 1},
         {"zc", 1},
         {"zr", 0},
         {"zs", 0},
         {"ww", 1}},
        {{4800, 0x5F}, {9600, 0x2F}, {14400, 0x1F}, {19200, 0x17}, {57600, 0x07}, {115200, 0x03}},
        false, std::nullopt, "ORYX63", "4.0");
    switch (number) {
    case 2400:
        return m2400;
    case 2410:
        return m2410;
    case 2450:
        return m2450;
    default:
        throw std::invalid_argument("no modem model " + std::to_string(number) +
                                    " (there are 2400, 2410 and 2450)");
    }
}

bool ModemModel::knows(std::string_view parameter) const {
    return std::find(m_parameters.begin(), m_parameters.end(), parameter) != m_parameters.end();
}

unsigned ModemModel::maxValue(std::string_view parameter) const {
    if (parameter == "wb") {
        return 1;
    }
    if (parameter == "wn") {
        return 15;
    }
    if (parameter == "wp") {
        return m_number == 2450 ? 2 : 1;
    }
    return 0xFF;
}

std::map<std::string, unsigned> ModemModel::makerDefaults(bool kvVariant) const {
    std::map<std::string, unsigned> values = m_defaults;
    if (kvVariant && m_number == 2410) {
        values["dx"] = 4;
        values["pw"] = 0x30;
        values["pe"] = 0x00;
    }
    return values;
}

std::optional<std::uint32_t> ModemModel::rateForCode(std::string_view code) const {
    const auto value = parseDigits(code, m_decimalRateCodes ? 10 : 16);
    if (!value) {
        return std::nullopt;
    }
    for (const RateCode& entry : m_rateCodes) {
        if (entry.code == *value) {
            return entry.rate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ModemModel::codeForRate(std::uint32_t rate) const {
    for (const RateCode& entry : m_rateCodes) {
        if (entry.rate == rate) {
            char text[8];
            std::snprintf(text, sizeof text, m_decimalRateCodes ? "%03u" : "%02X", entry.code);
            return std::string(text);
        }
    }
    return std::nullopt;
}

std::string ModemModel::defaultBanner(bool kvVariant) const {
    const std::string name = kvVariant && m_number == 2410 ? "KV7730" : m_family;
    return "\r\nWLK" + std::to_string(m_number) + " " + name + " radio modem, firmware " +
           m_firmware + ": ready\r\n";
}

} // namespace oryx::sim
