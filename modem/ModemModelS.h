#pragma once

#include <string>
#include <vector>

// Everything the program knows about one model of the modem family: what the dialogs offer
// for it and what the settings and defaults sequences write to it.
struct ModemModelS {
    // One command the program writes, with the line it logs when the radio does not take it.
    // Some commands take another text on the KV7730 variant, or for the first device.
    struct CommandRowS {
        enum class VariantT { None, KvVariant, FirstDevice };

        const char* command;
        const char* errorLog;
        VariantT variant = VariantT::None;
        const char* variantCommand = nullptr;

        const char* Text(bool kvVariant, int deviceIndex) const {
            const bool other = (variant == VariantT::KvVariant && kvVariant) ||
                               (variant == VariantT::FirstDevice && deviceIndex == 0);
            return other ? variantCommand : command;
        }
    };

    static constexpr const char* kUsaBand = "00";

    int number = -1;
    std::vector<std::string> devices = {};
    // The service dialog's power entries; the index is the value written.
    std::vector<std::string> powerLevels = {};
    // The "sd" code for each baud-rate index; none for a model whose rate cannot be changed.
    std::vector<std::string> baudCodes = {};
    // The rate the defaults leave the radio at (-1: the rate is not changed).
    int defaultBaudIndex = -1;
    int kvDefaultBaudIndex = -1;
    // The band code of the service dialog's "Altorvia Worldwide" entry; nullptr for none.
    const char* worldwideBand = nullptr;
    // Whether a read asks for the range, which tells the KV7730 variant.
    bool readsRange = false;
    // The defaults set the band at this rate (the radio takes the band only there); nullptr
    // to stay at the detected rate.
    const char* bandBaud = nullptr;
    std::vector<CommandRowS> defaultBandRows = {};
    // Written after every save and by the defaults.
    std::vector<CommandRowS> fixedParameterRows = {};

    int DefaultBaudIndex(bool kvVariant) const {
        return kvVariant ? kvDefaultBaudIndex : defaultBaudIndex;
    }
    // The service dialog's band entry for a band: 0 worldwide, 1 USA (any other band).
    int ServiceBandEntry(const std::string& band) const {
        return worldwideBand != nullptr && band == worldwideBand ? 0 : 1;
    }
    // The band an entry of the service dialog stands for; a model without a worldwide band
    // keeps the band it has.
    std::string BandForEntry(int entry, const std::string& band) const {
        if (entry == 1) {
            return kUsaBand;
        }
        return worldwideBand != nullptr ? worldwideBand : band;
    }
};
