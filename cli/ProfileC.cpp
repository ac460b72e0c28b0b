#include "cli/ProfileC.h"

#include "cli/InputFileC.h"
#include "cli/ProfileFieldsC.h"
#include "common/FileReplaceC.h"

#include <climits>
#include <set>
#include <vector>

namespace {

// The library's messages begin with its own tag, which tells a user nothing.
std::string WithoutExceptionTag(const std::string& what) {
    const size_t end = what.find("] ");
    return what.rfind("[json.exception", 0) == 0 && end != std::string::npos ? what.substr(end + 2)
                                                                             : what;
}

std::string CheckEnvelope(const ProfileC::JsonT& root, const std::string& family) {
    if (!root.is_object()) {
        return "not a JSON object";
    }
    static const std::set<std::string> kKnown = {"format", "version", "family", "model",
                                                 "settings"};
    for (const auto& [key, value] : root.items()) {
        if (kKnown.count(key) == 0) {
            return key + ": unknown field";
        }
    }
    if (!root.contains("format") || root["format"] != ProfileC::kFormat) {
        return std::string("format: must be \"") + ProfileC::kFormat + "\"";
    }
    if (!root.contains("version") || !root["version"].is_number_integer()) {
        return "version: missing or not a whole number";
    }
    if (root["version"] != ProfileC::kVersion) {
        return "version: " + root["version"].dump() + " is not known; this program reads version " +
               std::to_string(ProfileC::kVersion);
    }
    if (!root.contains("family") || !root["family"].is_string()) {
        return "family: missing or not a text";
    }
    if (root["family"] != family) {
        return "family: the profile is for a " + root["family"].get<std::string>() +
               ", not for a " + family;
    }
    if (root.contains("model") && !root["model"].is_number_integer()) {
        return "model: not a whole number";
    }
    if (root.contains("model") && !ProfileFieldsC::WholeNumber(root["model"], INT_MIN, INT_MAX)) {
        return "model: " + root["model"].dump() + " is out of range";
    }
    if (!root.contains("settings") || !root["settings"].is_object()) {
        return "settings: missing or not an object";
    }
    return {};
}

struct OpenObjectS {
    std::string path;
    std::string lastKey;
    std::set<std::string> keys;
};

// The parser keeps one of two equal keys without a word, so that a profile could say one
// thing to a reader and another to this program. The error is empty on success.
std::string ParseWithoutDuplicateKeys(const std::string& text, ProfileC::JsonT& root) {
    using EventT = ProfileC::JsonT::parse_event_t;
    std::vector<OpenObjectS> objects;
    std::string duplicate;
    const auto visit = [&](int, EventT event, ProfileC::JsonT& parsed) {
        if (event == EventT::object_start) {
            objects.push_back(
                {objects.empty() ? "" : objects.back().path + objects.back().lastKey + ".",
                 {},
                 {}});
        } else if (event == EventT::object_end && !objects.empty()) {
            objects.pop_back();
        } else if (event == EventT::key && !objects.empty()) {
            OpenObjectS& object = objects.back();
            object.lastKey = parsed.get<std::string>();
            if (!object.keys.insert(object.lastKey).second && duplicate.empty()) {
                duplicate = object.path + object.lastKey;
            }
        }
        return true;
    };
    try {
        root = ProfileC::JsonT::parse(text, visit);
    } catch (const ProfileC::JsonT::exception& error) {
        return "not JSON: " + WithoutExceptionTag(error.what());
    }
    return duplicate.empty() ? "" : duplicate + ": given twice";
}

} // namespace

ProfileC::ProfileC(std::string family, std::optional<int> model, JsonT settings)
    : family_(std::move(family)), model_(model), settings_(std::move(settings)) {}

std::string ProfileC::Load(const std::string& path, const std::string& family,
                           const CheckT& check) {
    std::string text;
    if (const std::string problem = InputFileC::Read(path, kMaxFileSize, text); !problem.empty()) {
        return text.size() > kMaxFileSize
                   ? "Profile " + path + " is not a profile: " + problem + "."
                   : "Cannot read profile " + path + ": " + problem + ".";
    }
    ProfileC profile;
    std::string error = Parse(text, family, profile);
    if (error.empty()) {
        error = check(profile);
    }
    return error.empty() ? error : "Profile " + path + ": " + error;
}

std::string ProfileC::Parse(const std::string& text, const std::string& family, ProfileC& profile) {
    // The parser takes a NUL byte for the end of the text and would not look past it.
    if (const auto nul = text.find('\0'); nul != std::string::npos) {
        return "not JSON: a NUL byte at byte " + std::to_string(nul + 1);
    }
    JsonT root;
    if (std::string error = ParseWithoutDuplicateKeys(text, root); !error.empty()) {
        return error;
    }
    if (std::string error = CheckEnvelope(root, family); !error.empty()) {
        return error;
    }
    std::optional<int> model;
    if (root.contains("model")) {
        model = root["model"].get<int>();
    }
    profile = ProfileC(family, model, root["settings"]);
    return {};
}

std::string ProfileC::Text() const {
    JsonT root;
    root["format"] = kFormat;
    root["version"] = kVersion;
    root["family"] = family_;
    if (model_) {
        root["model"] = *model_;
    }
    root["settings"] = settings_;
    return root.dump(2, ' ', false, JsonT::error_handler_t::replace) + "\n";
}

std::string ProfileC::Save(const std::string& path, const std::string& source,
                           const CheckT& check) const {
    if (const std::string error = check(*this); !error.empty()) {
        return "No profile saved: " + source + " " + error + ".";
    }
    // Written beside the target and renamed over it, so a full disk or a crash never leaves
    // half a profile where a good one was.
    if (const std::string error = FileReplaceC::Replace(path, Text()); !error.empty()) {
        return "Cannot write profile " + path + ": " + error + ".";
    }
    return {};
}
