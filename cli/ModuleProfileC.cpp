#include "cli/ModuleProfileC.h"

#include "cli/ProfileFieldsC.h"
#include "module/ModuleBaudC.h"
#include "module/ModuleCoreC.h"

namespace {

const std::vector<std::string> kSettings = {"name", "role", "moduleBaud"};
const std::vector<std::string> kRoles = {"client", "server"};

} // namespace

std::string ModuleProfileC::FromProfile(const ProfileC& profile, ModuleProfileC& module) {
    if (profile.model()) {
        return "model: the module family has no models";
    }
    ProfileFieldsC fields(profile.settings(), kSettings);
    ModuleProfileC read;
    read.name = fields.Text("name", 1, kMaxNameLength).value_or("");
    if (fields.error().empty() && !ModuleCoreC::UnsendableCharacter(read.name).empty()) {
        fields.Fail("name", "quotes and control characters cannot be written to a module");
    }
    read.role = fields.Choice("role", kRoles).value_or("");
    read.moduleBaud = fields.IntegerChoice("moduleBaud", ModuleBaudC::Rates()).value_or(0);
    if (!fields.error().empty()) {
        return fields.error();
    }
    module = read;
    return {};
}

std::string ModuleProfileC::Load(const std::string& path, ModuleProfileC& module) {
    return ProfileC::Load(
        path, kFamily, [&module](const ProfileC& profile) { return FromProfile(profile, module); });
}

ProfileC::JsonT ModuleProfileC::Settings() const {
    return {{"name", name}, {"role", role}, {"moduleBaud", moduleBaud}};
}

ProfileC ModuleProfileC::ToProfile() const {
    return ProfileC(kFamily, std::nullopt, Settings());
}

std::string ModuleProfileC::Save(const std::string& path) const {
    return ToProfile().Save(path, "the module's", [](const ProfileC& profile) {
        ModuleProfileC check;
        return FromProfile(profile, check);
    });
}

void ModuleProfileC::ToWriteOptions(ModuleOptionsS& options) const {
    options.name = name;
    options.role = role;
    options.moduleBaud = static_cast<unsigned long>(moduleBaud);
}
