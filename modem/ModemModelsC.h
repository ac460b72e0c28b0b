#pragma once

#include "modem/ModemChangeS.h"
#include "modem/ModemModelS.h"
#include "modem/ModemValuesS.h"

#include <optional>
#include <string>
#include <vector>

// Why settings cannot be asked of a model: the first value that does not fit.
enum class ModemMisfitT {
    None,
    Device, // a device the model does not offer
    Mode,   // neither of the modes
    Link,   // not a link number the radios have
    Baud,   // not one of the family's rates
    Band,   // not two hexadecimal digits
    Power,  // a power level the model does not offer
    // Values that would be written but not read back the same:
    DeviceForMode, // a device that a read tells from the other mode
    BaudCode,      // a rate the model has no code for
};

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
    // The models the table lists, in order.
    static std::vector<int> Numbers();

    // The mode box, in order; the index is the value written.
    static const std::vector<std::string>& Modes();
    static constexpr int kMaxLink = 15;
    // Case is ignored; -1 for none.
    static int ModeIndex(const std::string& mode);
    static int DeviceIndex(int modelNumber, const std::string& device);

    // Whether the model offers every value the change gives.
    static ModemMisfitT Misfit(int modelNumber, const ModemChangeS& change);
    // Whether the values can be written to a radio of their model and read back the same.
    static ModemMisfitT Misfit(const ModemValuesS& values);

    // The baud-rate box, in order; the last index is where the search wraps around.
    static const std::vector<std::string>& BaudRates();
    static constexpr int kLastBaudIndex = 5;
    static int BaudIndex(const std::string& baudText);

    // The "sd" code for a baud-rate index, or nothing for a model without codes.
    static std::optional<std::string> BaudRateCode(int modelNumber, int baudIndex);
};
