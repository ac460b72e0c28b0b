#include "cli/ModemProfileC.h"

#include "cli/ProfileFieldsC.h"
#include "cli/TextsC.h"
#include "modem/ModemFieldsC.h"
#include "modem/ModemModelsC.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

const std::vector<int> kModels = {ModemModelsC::kModel2400, ModemModelsC::kModel2410,
                                  ModemModelsC::kModel2450};
const std::vector<std::string> kModes = {"Remote", "Base"};
const std::vector<std::string> kSettings = {"device", "mode", "link", "baud", "band", "power"};
constexpr int kMaxLink = 15;

std::vector<int> BaudNumbers() {
    std::vector<int> numbers;
    for (const std::string& rate : ModemModelsC::BaudRates()) {
        numbers.push_back(std::atoi(rate.c_str()));
    }
    return numbers;
}

bool IsHexByte(const std::string& text) {
    return text.size() == 2 && std::isxdigit(static_cast<unsigned char>(text[0])) &&
           std::isxdigit(static_cast<unsigned char>(text[1]));
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

int IndexOf(const std::vector<std::string>& entries, const std::string& text) {
    const auto found = std::find(entries.begin(), entries.end(), text);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

} // namespace

ModemProfileC ModemProfileC::FromFields(const ModemFieldsC& f) {
    ModemProfileC modem;
    modem.model = f.modelNumber;
    modem.device = f.deviceBox.SelectedText();
    modem.mode = f.modeBox.SelectedText();
    modem.link = f.linkBox.Selected();
    // The rate the radio answered at, which is the rate it runs at.
    modem.baud = std::atoi(f.currentBaud.c_str());
    if (f.serviceMode) {
        modem.band = f.band;
        modem.power = f.power;
    }
    return modem;
}

std::string ModemProfileC::FromProfile(const ProfileC& profile, ModemProfileC& modem) {
    if (!profile.model()) {
        return "model: missing; a modem profile names its model";
    }
    if (std::find(kModels.begin(), kModels.end(), *profile.model()) == kModels.end()) {
        return "model: " + std::to_string(*profile.model()) +
               " is not a modem model (2400 2410 2450)";
    }
    ProfileFieldsC fields(profile.settings(), kSettings);
    const ModemModelS& record = ModemModelsC::Model(*profile.model());
    ModemProfileC read;
    read.model = record.number;
    read.device = fields.Choice("device", record.devices).value_or("");
    read.mode = fields.Choice("mode", kModes).value_or("");
    read.link = fields.Integer("link", 0, kMaxLink).value_or(0);
    read.baud = fields.IntegerChoice("baud", BaudNumbers()).value_or(0);
    if (fields.Has("band")) {
        read.band = Upper(fields.Text("band", 2, 2).value_or(""));
        if (fields.error().empty() && !IsHexByte(*read.band)) {
            fields.Fail("band", "\"" + *read.band + "\" is not two hexadecimal digits");
        }
    }
    if (fields.Has("power")) {
        read.power = fields.Integer("power", 0, static_cast<int>(record.powerLevels.size()) - 1);
    }
    if (!fields.error().empty()) {
        return fields.error();
    }
    if (const std::string misfit = read.Misfit(read.model); !misfit.empty()) {
        return misfit;
    }
    modem = read;
    return {};
}

std::string ModemProfileC::Load(const std::string& path, ModemProfileC& modem) {
    return ProfileC::Load(
        path, kFamily, [&modem](const ProfileC& profile) { return FromProfile(profile, modem); });
}

std::string ModemProfileC::Misfit(int modelNumber) const {
    const ModemModelS& record = ModemModelsC::Model(modelNumber);
    const std::string forModel = " for model " + std::to_string(modelNumber);
    const int deviceIndex = IndexOf(record.devices, device);
    if (deviceIndex < 0) {
        return "settings.device: " + device + " is not offered" + forModel + " (" +
               TextsC::Joined(record.devices) + ")";
    }
    // A read tells the device from the mode, except for the variant that the range tells:
    // any other pairing would be written but never read back the same.
    const int modeIndex = IndexOf(kModes, mode);
    if (device != ModemModelsC::kVariantDevice && deviceIndex != modeIndex) {
        return "settings.device: " + device + " goes with mode " +
               kModes[static_cast<size_t>(deviceIndex)] + ", not " + mode;
    }
    if (power && static_cast<size_t>(*power) >= record.powerLevels.size()) {
        return "settings.power: " + std::to_string(*power) + " is not offered" + forModel +
               " (0 to " + std::to_string(record.powerLevels.size() - 1) + ")";
    }
    if (!ModemModelsC::BaudRateCode(modelNumber, ModemModelsC::BaudIndex(std::to_string(baud)))) {
        return "settings.baud: " + std::to_string(baud) + " cannot be set" + forModel;
    }
    return {};
}

ProfileC::JsonT ModemProfileC::Settings() const {
    ProfileC::JsonT settings = {{"device", device}, {"mode", mode}, {"link", link}, {"baud", baud}};
    if (band) {
        settings["band"] = *band;
    }
    if (power) {
        settings["power"] = *power;
    }
    return settings;
}

ProfileC ModemProfileC::ToProfile() const {
    return ProfileC(kFamily, model, Settings());
}

std::string ModemProfileC::Save(const std::string& path) const {
    return ToProfile().Save(path, "the radio's", [](const ProfileC& profile) {
        ModemProfileC check;
        return FromProfile(profile, check);
    });
}

void ModemProfileC::ToWriteOptions(ModemOptionsS& options) const {
    options.mode = mode;
    options.device = device;
    options.link = link;
    options.setBaud = std::to_string(baud);
    options.band = band;
    options.power = power;
}
