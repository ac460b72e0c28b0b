#include "modem/ModemModelsC.h"

#include <algorithm>
#include <cctype>

namespace {

using RowS = ModemModelS::CommandRowS;
using VariantT = RowS::VariantT;

const RowS kPacketAttempts{"pr10", "ERROR: Could not set 'packet delivery attempts'."};
const RowS kPointToPoint{"wu01", "ERROR: Could not set 'Point-To-Point' (service)."};
const std::vector<std::string> kTwoPowerLevels = {"Low 10mW", "High 100mW (def.)"};

const std::vector<ModemModelS>& Table() {
    static const std::vector<ModemModelS> table = {
        {.number = ModemModelsC::kModel2400,
         .devices = {"ORYX61R", "ORYX61B"},
         .powerLevels = kTwoPowerLevels,
         .baudCodes = {"109", "083", "057", "040", "014", "009"},
         .defaultBaudIndex = 3,
         .kvDefaultBaudIndex = 3,
         .worldwideBand = "01",
         .bandBaud = "9600",
         .defaultBandRows = {{"pe1", "ERROR: Could not set 'Band to France'."},
                             {"wt1", "ERROR: Could not set 'Channel access mode'."}},
         .fixedParameterRows = {kPacketAttempts}},
        {.number = ModemModelsC::kModel2410,
         .devices = {"ORYX62R", "ORYX62B", ModemModelsC::kVariantDevice},
         .powerLevels = kTwoPowerLevels,
         .baudCodes = {"2F", "17", "0F", "0B", "03", "01"},
         .defaultBaudIndex = 5,
         .kvDefaultBaudIndex = 3,
         .worldwideBand = "06",
         .readsRange = true,
         .defaultBandRows = {{"pe06", "ERROR: Could not set 'Band'.", VariantT::KvVariant, "pe00"}},
         .fixedParameterRows = {{"pn1", "ERROR: Could not set 'max. remotes'."},
                                {"pw34", "ERROR: Could not set 'max. buffer size'.",
                                 VariantT::KvVariant, "pw30"},
                                kPacketAttempts,
                                kPointToPoint,
                                {"dx00", "ERROR: Could not set 'Range'.", VariantT::KvVariant,
                                 "dx04"}}},
        {.number = ModemModelsC::kModel2450,
         .devices = {"ORYX63R", "ORYX63B"},
         .powerLevels = {"Low 10mW", "Med 63mW (def.)", "High 250mW"},
         .baudCodes = {"5F", "2F", "1F", "17", "07", "03"},
         .defaultBaudIndex = 5,
         .kvDefaultBaudIndex = 5,
         .worldwideBand = "0B",
         .defaultBandRows = {{"pe0B", "ERROR: Could not set 'Band to France'."}},
         .fixedParameterRows = {{"pn01", "ERROR: Could not set 'max. remotes'."},
                                {"pw2F", "ERROR: Could not set 'max. buffer size'."},
                                kPacketAttempts,
                                kPointToPoint,
                                {"dm00", "ERROR: Could not set 'Range (dm)'.",
                                 VariantT::FirstDevice, "dm01"},
                                {"dx00", "ERROR: Could not set 'Range (dx)'.",
                                 VariantT::FirstDevice, "dx0F"},
                                {"zb01", "ERROR: Could not set the Banner display."},
                                {"zc01", "ERROR: Could not set the Escape sequence mode."},
                                {"zr00", "ERROR: Could not set the RTS pin."},
                                {"zs00", "ERROR: Could not set the Sleep pin."},
                                {"ww01", "ERROR: Could not set the DCD line."}}},
    };
    return table;
}

int IndexIgnoringCase(const std::vector<std::string>& entries, const std::string& text) {
    const auto same = [&text](const std::string& entry) {
        return entry.size() == text.size() &&
               std::equal(entry.begin(), entry.end(), text.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    const auto found = std::find_if(entries.begin(), entries.end(), same);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

// The band is written into the command as it is: anything but two hexadecimal digits would
// send the radio another command.
bool IsBand(const std::string& band) {
    return band.size() == 2 && std::isxdigit(static_cast<unsigned char>(band[0])) &&
           std::isxdigit(static_cast<unsigned char>(band[1]));
}

} // namespace

const ModemModelS& ModemModelsC::Model(int modelNumber) {
    static const ModemModelS unknown{
        .number = -1, .devices = {"ORYX63R", "ORYX63B"}, .powerLevels = kTwoPowerLevels};
    const auto& table = Table();
    auto found = std::find_if(table.begin(), table.end(), [modelNumber](const ModemModelS& m) {
        return m.number == modelNumber;
    });
    return found == table.end() ? unknown : *found;
}

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

std::optional<std::string> ModemModelsC::BaudRateCode(int modelNumber, int baudIndex) {
    const std::vector<std::string>& codes = Model(modelNumber).baudCodes;
    if (baudIndex < 0 || static_cast<size_t>(baudIndex) >= codes.size()) {
        return std::nullopt;
    }
    return codes[static_cast<size_t>(baudIndex)];
}

std::vector<int> ModemModelsC::Numbers() {
    std::vector<int> numbers;
    for (const ModemModelS& model : Table()) {
        numbers.push_back(model.number);
    }
    return numbers;
}

const std::vector<std::string>& ModemModelsC::Modes() {
    static const std::vector<std::string> modes = {"Remote", "Base"};
    return modes;
}

int ModemModelsC::ModeIndex(const std::string& mode) {
    return IndexIgnoringCase(Modes(), mode);
}

int ModemModelsC::DeviceIndex(int modelNumber, const std::string& device) {
    return IndexIgnoringCase(Model(modelNumber).devices, device);
}

ModemMisfitT ModemModelsC::Misfit(int modelNumber, const ModemChangeS& change) {
    if (change.device && DeviceIndex(modelNumber, *change.device) < 0) {
        return ModemMisfitT::Device;
    }
    if (change.mode && ModeIndex(*change.mode) < 0) {
        return ModemMisfitT::Mode;
    }
    if (change.link && (*change.link < 0 || *change.link > kMaxLink)) {
        return ModemMisfitT::Link;
    }
    if (change.baud && BaudIndex(std::to_string(*change.baud)) < 0) {
        return ModemMisfitT::Baud;
    }
    if (change.band && !IsBand(*change.band)) {
        return ModemMisfitT::Band;
    }
    const auto levels = static_cast<int>(Model(modelNumber).powerLevels.size());
    if (change.power && (*change.power < 0 || *change.power >= levels)) {
        return ModemMisfitT::Power;
    }
    return ModemMisfitT::None;
}

ModemMisfitT ModemModelsC::Misfit(const ModemValuesS& values) {
    const int deviceIndex = DeviceIndex(values.model, values.device);
    if (deviceIndex < 0) {
        return ModemMisfitT::Device;
    }
    // A read tells the device from the mode, except for the variant that the range tells.
    const int modeIndex = ModeIndex(values.mode);
    const bool variant = IndexIgnoringCase({kVariantDevice}, values.device) == 0;
    if (modeIndex >= 0 && !variant && deviceIndex != modeIndex) {
        return ModemMisfitT::DeviceForMode;
    }
    if (const ModemMisfitT misfit = Misfit(values.model, ModemChangeS::To(values));
        misfit != ModemMisfitT::None) {
        return misfit;
    }
    if (!BaudRateCode(values.model, BaudIndex(std::to_string(values.baud)))) {
        return ModemMisfitT::BaudCode;
    }
    return ModemMisfitT::None;
}
