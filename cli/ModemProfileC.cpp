#include "cli/ModemProfileC.h"

#include "cli/ProfileFieldsC.h"
#include "cli/TextsC.h"
#include "modem/ModemModelsC.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

const std::vector<std::string> kSettings = {"device", "mode", "link", "baud", "band", "power"};

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

std::string ModelList() {
    std::string list;
    for (const int model : ModemModelsC::Numbers()) {
        list += (list.empty() ? "" : " ") + std::to_string(model);
    }
    return list;
}

} // namespace

std::string ModemProfileC::FromProfile(const ProfileC& profile, ModemProfileC& modem) {
    if (!profile.model()) {
        return "model: missing; a modem profile names its model";
    }
    const std::vector<int> models = ModemModelsC::Numbers();
    if (std::find(models.begin(), models.end(), *profile.model()) == models.end()) {
        return "model: " + std::to_string(*profile.model()) + " is not a modem model (" +
               ModelList() + ")";
    }
    ProfileFieldsC fields(profile.settings(), kSettings);
    const ModemModelS& record = ModemModelsC::Model(*profile.model());
    ModemValuesS read;
    read.model = record.number;
    read.device = fields.Choice("device", record.devices).value_or("");
    read.mode = fields.Choice("mode", ModemModelsC::Modes()).value_or("");
    read.link = fields.Integer("link", 0, ModemModelsC::kMaxLink).value_or(0);
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
    const ModemProfileC checked(read);
    if (const std::string misfit = checked.Misfit(read.model); !misfit.empty()) {
        return misfit;
    }
    modem = checked;
    return {};
}

std::string ModemProfileC::Load(const std::string& path, ModemProfileC& modem) {
    return ProfileC::Load(
        path, kFamily, [&modem](const ProfileC& profile) { return FromProfile(profile, modem); });
}

std::string ModemProfileC::Misfit(int modelNumber) const {
    ModemValuesS onModel = values;
    onModel.model = modelNumber;
    const ModemModelS& record = ModemModelsC::Model(modelNumber);
    const std::string forModel = " for model " + std::to_string(modelNumber);
    switch (ModemModelsC::Misfit(onModel)) {
    case ModemMisfitT::None:
        return {};
    case ModemMisfitT::Device:
        return "settings.device: " + values.device + " is not offered" + forModel + " (" +
               TextsC::Joined(record.devices) + ")";
    case ModemMisfitT::DeviceForMode:
        return "settings.device: " + values.device + " goes with mode " +
               ModemModelsC::Modes()[static_cast<size_t>(
                   ModemModelsC::DeviceIndex(modelNumber, values.device))] +
               ", not " + values.mode;
    case ModemMisfitT::Power:
        return "settings.power: " + std::to_string(values.power.value_or(-1)) + " is not offered" +
               forModel + " (0 to " + std::to_string(record.powerLevels.size() - 1) + ")";
    case ModemMisfitT::BaudCode:
        return "settings.baud: " + std::to_string(values.baud) + " cannot be set" + forModel;
    default:
        return "settings: the values do not fit model " + std::to_string(modelNumber);
    }
}

ProfileC::JsonT ModemProfileC::Settings() const {
    ProfileC::JsonT settings = {{"device", values.device},
                                {"mode", values.mode},
                                {"link", values.link},
                                {"baud", values.baud}};
    if (values.band) {
        settings["band"] = *values.band;
    }
    if (values.power) {
        settings["power"] = *values.power;
    }
    return settings;
}

ProfileC ModemProfileC::ToProfile() const {
    return ProfileC(kFamily, values.model, Settings());
}

std::string ModemProfileC::Save(const std::string& path) const {
    return ToProfile().Save(path, "the radio's", [](const ProfileC& profile) {
        ModemProfileC check;
        return FromProfile(profile, check);
    });
}
