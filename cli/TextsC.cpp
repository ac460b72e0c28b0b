#include "cli/TextsC.h"

#include <algorithm>
#include <cctype>
#include <string_view>

bool TextsC::SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string TextsC::Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string TextsC::Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        joined += (joined.empty() ? "" : " ") + text;
    }
    return joined;
}

namespace {

// The length of the well-formed UTF-8 sequence at the start of text (1 to 4), or 0.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
}

} // namespace

std::string TextsC::ForTerminal(const std::string& text) {
    std::string shown;
    std::string_view rest(text);
    while (!rest.empty()) {
        const std::size_t length = Utf8SequenceLength(rest);
        const auto lead = static_cast<unsigned char>(rest[0]);
        const bool control =
            lead < 0x20 || lead == 0x7F ||
            (length == 2 && lead == 0xC2 && static_cast<unsigned char>(rest[1]) <= 0x9F);
        if (length == 0 || control) {
            AppendEscaped(shown, rest.substr(0, std::max<std::size_t>(length, 1)));
        } else {
            shown.append(rest.substr(0, length));
        }
        rest.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return shown;
}

bool TextsC::HasControlCharacter(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        const bool c0 = byte < 0x20 || byte == 0x7F;
        const bool c1 = byte == 0xC2 && next >= 0x80 && next <= 0x9F;
        const bool separator = byte == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9);
        if (c0 || c1 || separator) {
            return true;
        }
    }
    return false;
}
