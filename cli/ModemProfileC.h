#pragma once

#include "cli/ProfileC.h"
#include "modem/ModemValuesS.h"

#include <string>

// The settings of a modem-family radio as a profile: model, device, mode, link, baud rate,
// and the service settings band and power when they were read. The devices, power levels and
// rate codes depend on the model, so the profile names it.
class ModemProfileC {
public:
    static constexpr const char* kFamily = "modem";

    ModemProfileC() = default;
    explicit ModemProfileC(ModemValuesS values) : values(std::move(values)) {}

    // Checks every value of the profile for its model; the error (empty on success) names
    // the field.
    static std::string FromProfile(const ProfileC& profile, ModemProfileC& modem);
    static std::string Load(const std::string& path, ModemProfileC& modem);
    // Refuses to write a profile that would not load again.
    std::string Save(const std::string& path) const;

    // Why these settings cannot be written to a radio of that model; empty when they can.
    std::string Misfit(int modelNumber) const;
    ProfileC::JsonT Settings() const;
    bool HasServiceSettings() const { return values.band.has_value() || values.power.has_value(); }

    ModemValuesS values;

private:
    ProfileC ToProfile() const;
};
