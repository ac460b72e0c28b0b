#include "cli/ProfileC.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>

namespace {

std::string ErrnoText() {
    return std::strerror(errno);
}

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
    if (!root.contains("settings") || !root["settings"].is_object()) {
        return "settings: missing or not an object";
    }
    return {};
}

} // namespace

ProfileC::ProfileC(std::string family, std::optional<int> model, JsonT settings)
    : family_(std::move(family)), model_(model), settings_(std::move(settings)) {}

std::string ProfileC::Load(const std::string& path, const std::string& family,
                           const CheckT& check) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "Cannot read profile " + path + ": " + ErrnoText() + ".";
    }
    std::string text(kMaxFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        return "Cannot read profile " + path + ": " + ErrnoText() + ".";
    }
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxFileSize) {
        return "Profile " + path + " is not a profile: larger than " +
               std::to_string(kMaxFileSize / 1024) + " KiB.";
    }
    ProfileC profile;
    std::string error = Parse(text, family, profile);
    if (error.empty()) {
        error = check(profile);
    }
    return error.empty() ? error : "Profile " + path + ": " + error;
}

std::string ProfileC::Parse(const std::string& text, const std::string& family, ProfileC& profile) {
    JsonT root;
    try {
        root = JsonT::parse(text);
    } catch (const JsonT::exception& error) {
        return "not JSON: " + WithoutExceptionTag(error.what());
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
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return "Cannot write profile " + path + ": " + ErrnoText() + ".";
        }
        out << Text();
        out.flush();
        if (!out) {
            const std::string error = "Cannot write profile " + path + ": " + ErrnoText() + ".";
            std::remove(temporary.c_str());
            return error;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string error = "Cannot write profile " + path + ": " + ErrnoText() + ".";
        std::remove(temporary.c_str());
        return error;
    }
    return {};
}
