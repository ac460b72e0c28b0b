#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// Takes the values out of a profile's settings, checking each; the first problem is kept with
// the field it is about, and later reads return nothing. A field the family does not know is
// a problem too, so that a misspelt setting is never silently left out.
class ProfileFieldsC {
public:
    using JsonT = nlohmann::ordered_json;

    ProfileFieldsC(const JsonT& settings, const std::vector<std::string>& known);

    bool Has(const std::string& key) const { return settings_.contains(key); }
    // A whole number from min to max, checked before any conversion: a number too large for
    // the type it is read as would otherwise wrap into the range. Nothing when it is not one.
    static std::optional<long long> WholeNumber(const JsonT& value, long long min, long long max);

    // A text of minLength to maxLength bytes without control characters.
    std::optional<std::string> Text(const std::string& key, std::size_t minLength,
                                    std::size_t maxLength);
    std::optional<int> Integer(const std::string& key, int min, int max);
    // One of the choices, ignoring case; the choice as it is written there.
    std::optional<std::string> Choice(const std::string& key,
                                      const std::vector<std::string>& choices);
    std::optional<int> IntegerChoice(const std::string& key, const std::vector<int>& choices);

    // Records a problem found beyond the value's own type and range.
    void Fail(const std::string& key, const std::string& problem);
    const std::string& error() const { return error_; }

private:
    const JsonT* Value(const std::string& key);

    const JsonT& settings_;
    std::string error_;
};
