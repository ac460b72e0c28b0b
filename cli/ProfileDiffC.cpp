#include "cli/ProfileDiffC.h"

ProfileDiffC::ProfileDiffC(const JsonT& radio, const JsonT& profile) {
    for (const auto& [setting, wanted] : profile.items()) {
        const JsonT has = radio.contains(setting) ? radio[setting] : JsonT();
        if (has != wanted) {
            entries_.push_back({setting, has, wanted});
        }
    }
}

std::string ProfileDiffC::Names() const {
    std::string names;
    for (const EntryS& entry : entries_) {
        names += (names.empty() ? "" : ", ") + entry.setting;
    }
    return names;
}

ProfileDiffC::JsonT ProfileDiffC::Json(const char* radioName, const char* profileName) const {
    JsonT list = JsonT::array();
    for (const EntryS& entry : entries_) {
        list.push_back(
            {{"setting", entry.setting}, {radioName, entry.radio}, {profileName, entry.profile}});
    }
    return list;
}
