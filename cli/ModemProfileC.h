#pragma once

#include "cli/ModemOptionsS.h"
#include "cli/ProfileC.h"

#include <optional>
#include <string>

class ModemFieldsC;

// The settings of a modem-family radio as a profile: model, device, mode, link, baud rate,
// and the service settings band and power when they were read. The devices, power levels and
// rate codes depend on the model, so the profile names it.
class ModemProfileC {
public:
    static constexpr const char* kFamily = "modem";

    // The radio's settings as read into the fields.
    static ModemProfileC FromFields(const ModemFieldsC& fields);
    // Checks every value of the profile for its model; the error (empty on success) names
    // the field.
    static std::string FromProfile(const ProfileC& profile, ModemProfileC& modem);
    static std::string Load(const std::string& path, ModemProfileC& modem);
    // Refuses to write a profile that would not load again.
    std::string Save(const std::string& path) const;

    // Why these settings cannot be written to a radio of that model; empty when they can.
    std::string Misfit(int modelNumber) const;
    ProfileC::JsonT Settings() const;
    bool HasServiceSettings() const { return band.has_value() || power.has_value(); }
    // The settings as `modem write` would take them from its command line.
    void ToWriteOptions(ModemOptionsS& options) const;

    int model = 0;
    std::string device;
    std::string mode;
    int link = 0;
    int baud = 0;
    std::optional<std::string> band;
    std::optional<int> power;

private:
    ProfileC ToProfile() const;
};
