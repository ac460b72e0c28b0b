#pragma once

#include "cli/ModuleOptionsS.h"
#include "cli/ProfileC.h"

#include <string>

// The settings of a module-family radio as a profile: local name, device role and the baud
// rate of the module's serial interface. The address is the module's own and is left out;
// the family has no models whose values differ.
class ModuleProfileC {
public:
    static constexpr const char* kFamily = "module";
    static constexpr std::size_t kMaxNameLength = 15;

    // Checks every value; the error (empty on success) names the field.
    static std::string FromProfile(const ProfileC& profile, ModuleProfileC& module);
    static std::string Load(const std::string& path, ModuleProfileC& module);
    // Refuses to write a profile that would not load again.
    std::string Save(const std::string& path) const;

    ProfileC::JsonT Settings() const;
    // The settings as `module write` would take them from its command line.
    void ToWriteOptions(ModuleOptionsS& options) const;

    std::string name;
    // "client", "server", or "none" as read from a module that has neither.
    std::string role;
    int moduleBaud = 0;

private:
    ProfileC ToProfile() const;
};
