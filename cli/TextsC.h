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
    // C0 controls, DEL, C1 controls (U+0080 to U+009F in UTF-8) and the line and paragraph
    // separators U+2028 and U+2029: what may break a line or steer a terminal.
    static bool HasControlCharacter(const std::string& text);
    // The text as a terminal may show it: control characters (C0, DEL, C1) and bytes that are
    // not UTF-8 become \xHH, so that a name from a radio or a file cannot move the cursor,
    // recolour the screen or fake a line. For text printed for people, never for JSON.
    static std::string ForTerminal(const std::string& text);
};
