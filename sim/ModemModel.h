#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oryx::sim {

// What differs between the modem radio models: which two-letter parameters they know, their
// maker's defaults, their baud-rate codes and their banner.
class ModemModel {
public:
    // Up to four digits in the given base (10 or 16); nothing for any other text.
    static std::optional<unsigned> parseDigits(std::string_view text, int base);

    // 2400, 2410 or 2450; throws std::invalid_argument for any other number.
    static const ModemModel& forNumber(int number);

    int number() const { return m_number; }
    bool knows(std::string_view parameter) const;
    // The largest value a parameter takes; larger values are refused.
    unsigned maxValue(std::string_view parameter) const;
    // The "KV7730" variant of model 2410 differs in its range and buffer defaults.
    std::map<std::string, unsigned> makerDefaults(bool kvVariant) const;
    // The rate a model switches to when its maker's defaults are restored; nothing when
    // restoring the defaults leaves the rate alone.
    std::optional<std::uint32_t> rateAfterReset() const { return m_rateAfterReset; }

    std::optional<std::uint32_t> rateForCode(std::string_view code) const;
    std::optional<std::string> codeForRate(std::uint32_t rate) const;
    std::string defaultBanner(bool kvVariant) const;

private:
    struct RateCode {
        std::uint32_t rate;
        unsigned code;
    };

    ModemModel(int number, std::vector<std::string> parameters,
               std::map<std::string, unsigned> defaults, std::vector<RateCode> rateCodes,
               bool decimalRateCodes, std::optional<std::uint32_t> rateAfterReset,
               std::string family, std::string firmware);

    int m_number;
    std::vector<std::string> m_parameters;
    std::map<std::string, unsigned> m_defaults;
    std::vector<RateCode> m_rateCodes;
    bool m_decimalRateCodes;
    std::optional<std::uint32_t> m_rateAfterReset;
    std::string m_family;
    std::string m_firmware;
};

} // namespace oryx::sim
