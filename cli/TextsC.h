#pragma once

#include <string>
#include <vector>

// Small text helpers the command line's parts share.
class TextsC {
public:
    static bool SameIgnoringCase(const std::string& a, const std::string& b);
    static std::string Lowered(std::string text);
    // The texts with one space between each two.
    static std::string Joined(const std::vector<std::string>& texts);
};
