#pragma once

#include <nlohmann/json.hpp>
#include <string>

// The settings in which a radio differs from a profile, in the profile's order: what an apply
// would change, or, read back after it, what did not take.
class ProfileDiffC {
public:
    using JsonT = nlohmann::ordered_json;

    ProfileDiffC(const JsonT& radio, const JsonT& profile);

    bool empty() const { return entries_.empty(); }
    // The settings' names, comma-separated.
    std::string Names() const;
    // One object per setting: its name, the radio's value and the profile's, under the given
    // names ("from"/"to" for changes, "read"/"wanted" for what did not take).
    JsonT Json(const char* radioName, const char* profileName) const;

private:
    struct EntryS {
        std::string setting;
        JsonT radio;
        JsonT profile;
    };
    std::vector<EntryS> entries_;
};
