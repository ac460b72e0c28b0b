#include "cli/ProfileFieldsC.h"

#include "cli/TextsC.h"

#include <algorithm>
#include <climits>

ProfileFieldsC::ProfileFieldsC(const JsonT& settings, const std::vector<std::string>& known)
    : settings_(settings) {
    for (const auto& [key, value] : settings_.items()) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            Fail(key, "not a setting of this family (" + TextsC::Joined(known) + ")");
            return;
        }
    }
}

void ProfileFieldsC::Fail(const std::string& key, const std::string& problem) {
    if (error_.empty()) {
        error_ = "settings." + key + ": " + problem;
    }
}

const ProfileFieldsC::JsonT* ProfileFieldsC::Value(const std::string& key) {
    if (!error_.empty()) {
        return nullptr;
    }
    if (!settings_.contains(key)) {
        Fail(key, "missing");
        return nullptr;
    }
    return &settings_[key];
}

std::optional<std::string> ProfileFieldsC::Text(const std::string& key, std::size_t minLength,
                                                std::size_t maxLength) {
    const JsonT* value = Value(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_string()) {
        Fail(key, "not a text");
        return std::nullopt;
    }
    const std::string text = value->get<std::string>();
    if (TextsC::HasControlCharacter(text)) {
        Fail(key, value->dump() + " holds control characters");
        return std::nullopt;
    }
    if (text.size() < minLength || text.size() > maxLength) {
        Fail(key, "\"" + text + "\" is not " + std::to_string(minLength) + " to " +
                      std::to_string(maxLength) + " bytes long");
        return std::nullopt;
    }
    return text;
}

std::optional<int> ProfileFieldsC::Integer(const std::string& key, int min, int max) {
    const JsonT* value = Value(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_number_integer()) {
        Fail(key, value->dump() + " is not a whole number");
        return std::nullopt;
    }
    const std::optional<long long> number = WholeNumber(*value, min, max);
    if (!number) {
        Fail(key, value->dump() + " is out of range " + std::to_string(min) + " to " +
                      std::to_string(max));
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

std::optional<long long> ProfileFieldsC::WholeNumber(const JsonT& value, long long min,
                                                     long long max) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<unsigned long long>();
        if (max < 0 || number > static_cast<unsigned long long>(max) ||
            static_cast<long long>(number) < min) {
            return std::nullopt;
        }
        return static_cast<long long>(number);
    }
    if (!value.is_number_integer()) {
        return std::nullopt;
    }
    const auto number = value.get<long long>();
    if (number < min || number > max) {
        return std::nullopt;
    }
    return number;
}

std::optional<std::string> ProfileFieldsC::Choice(const std::string& key,
                                                  const std::vector<std::string>& choices) {
    const JsonT* value = Value(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (value->is_string()) {
        const std::string text = value->get<std::string>();
        const auto found =
            std::find_if(choices.begin(), choices.end(), [&text](const std::string& choice) {
                return TextsC::SameIgnoringCase(choice, text);
            });
        if (found != choices.end()) {
            return *found;
        }
    }
    Fail(key, value->dump() + " is not one of " + TextsC::Joined(choices));
    return std::nullopt;
}

std::optional<int> ProfileFieldsC::IntegerChoice(const std::string& key,
                                                 const std::vector<int>& choices) {
    const JsonT* value = Value(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    const auto number = WholeNumber(*value, INT_MIN, INT_MAX);
    if (number && std::find(choices.begin(), choices.end(), *number) != choices.end()) {
        return static_cast<int>(*number);
    }
    std::vector<std::string> texts;
    for (int choice : choices) {
        texts.push_back(std::to_string(choice));
    }
    Fail(key, value->dump() + " is not one of " + TextsC::Joined(texts));
    return std::nullopt;
}
