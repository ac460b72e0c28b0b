#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// A radio's settings kept in a file, to be applied to the same or another radio later: a small
// versioned JSON object that names the family, the model where the valid values depend on it,
// and the settings a write can set. docs/profiles.md describes the format.
class ProfileC {
public:
    using JsonT = nlohmann::ordered_json;

    static constexpr const char* kFormat = "oryx-config-profile";
    static constexpr int kVersion = 1;
    // No profile comes near this; a bigger file is not one (and may be no file at all).
    static constexpr std::size_t kMaxFileSize = 64 * 1024;

    ProfileC() = default;
    ProfileC(std::string family, std::optional<int> model, JsonT settings);

    // The family's check of the settings' values: empty, or the problem with its field.
    using CheckT = std::function<std::string(const ProfileC&)>;

    // Reads the file, checks the envelope here and the settings with the family's check; the
    // error (empty on success) names the file and the field.
    static std::string Load(const std::string& path, const std::string& family,
                            const CheckT& check);
    static std::string Parse(const std::string& text, const std::string& family, ProfileC& profile);
    // Writes the whole file or leaves the old one, and only a profile the check would load
    // again; `source` names what the settings came from. The error is empty on success.
    std::string Save(const std::string& path, const std::string& source, const CheckT& check) const;
    std::string Text() const;

    const std::string& family() const { return family_; }
    std::optional<int> model() const { return model_; }
    const JsonT& settings() const { return settings_; }

private:
    std::string family_;
    std::optional<int> model_;
    JsonT settings_ = JsonT::object();
};
