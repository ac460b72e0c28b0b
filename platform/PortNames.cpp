#include "platform/PortNames.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace oryx::platform::PortNames {
namespace {

constexpr std::size_t kMaxComDigits = 6;
constexpr std::string_view kNetworkScheme = "rfc2217://";
constexpr std::size_t kMaxHostLength = 253;

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view withoutTrailingColon(std::string_view text) {
    if (!text.empty() && text.back() == ':') {
        text.remove_suffix(1);
    }
    return text;
}

struct StemAndNumber {
    std::string_view stem;
    std::string_view digits;
};

StemAndNumber splitTrailingNumber(std::string_view name) {
    std::size_t start = name.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(name[start - 1]))) {
        --start;
    }
    return {name.substr(0, start), name.substr(start)};
}

// Compares digit strings by value without converting, so any length is safe.
int compareNumbers(std::string_view a, std::string_view b) {
    auto stripZeros = [](std::string_view d) {
        while (d.size() > 1 && d.front() == '0') {
            d.remove_prefix(1);
        }
        return d;
    };
    a = stripZeros(a);
    b = stripZeros(b);
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

} // namespace

std::optional<unsigned> comNumber(std::string_view portText) {
    std::string_view text = withoutTrailingColon(portText);
    if (text.starts_with("\\\\.\\")) {
        text.remove_prefix(4);
    }
    if (text.starts_with("COM")) {
        text.remove_prefix(3);
    }
    if (!allDigits(text) || text.size() > kMaxComDigits) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

bool isNetworkPort(std::string_view portText) {
    if (portText.size() < kNetworkScheme.size()) {
        return false;
    }
    return std::equal(
        kNetworkScheme.begin(), kNetworkScheme.end(), portText.begin(),
        [](char want, char got) { return want == std::tolower(static_cast<unsigned char>(got)); });
}

std::optional<NetworkAddress> networkAddress(std::string_view portText) {
    if (!isNetworkPort(portText)) {
        return std::nullopt;
    }
    std::string_view rest = portText.substr(kNetworkScheme.size());
    if (!rest.empty() && rest.back() == '/') {
        rest.remove_suffix(1);
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view host = rest.substr(0, colon);
    const std::string_view port = rest.substr(colon + 1);
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    if (bracketed) {
        host = host.substr(1, host.size() - 2);
    }
    // The host goes into a connection description where commas and brackets have meaning, so
    // only the characters of names and addresses pass.
    const auto hostChar = [bracketed](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_' ||
               (bracketed && c == ':');
    };
    if (host.empty() || host.size() > kMaxHostLength ||
        !std::all_of(host.begin(), host.end(), hostChar) || !allDigits(port) || port.size() > 5) {
        return std::nullopt;
    }
    const unsigned number = static_cast<unsigned>(std::stoul(std::string(port)));
    if (number == 0 || number > 65535) {
        return std::nullopt;
    }
    return NetworkAddress{std::string(host), std::to_string(number)};
}

std::string devicePath(std::string_view portText) {
    if (const auto number = comNumber(portText)) {
        return *number == 0 ? std::string() : "/dev/ttyS" + std::to_string(*number - 1);
    }
    const std::string_view text = withoutTrailingColon(portText);
    if (text.empty()) {
        return {};
    }
    if (text.front() == '/') {
        return std::string(text);
    }
    return "/dev/" + std::string(text);
}

std::string displayName(std::string_view portText) {
    if (const auto number = comNumber(portText)) {
        return "COM" + std::to_string(*number);
    }
    return std::string(portText);
}

bool comesBefore(std::string_view a, std::string_view b) {
    // Stem first, then number, then text: a total order, which sorting relies on.
    const StemAndNumber left = splitTrailingNumber(a);
    const StemAndNumber right = splitTrailingNumber(b);
    if (left.stem != right.stem) {
        return left.stem < right.stem;
    }
    if (left.digits.empty() != right.digits.empty()) {
        return left.digits.empty();
    }
    const int byNumber = compareNumbers(left.digits, right.digits);
    if (byNumber != 0) {
        return byNumber < 0;
    }
    return a < b;
}

bool samePort(std::string_view a, std::string_view b) {
    const std::string path = devicePath(a);
    return !path.empty() && path == devicePath(b);
}

std::string portIdentity(std::string_view portText) {
    std::string path = devicePath(portText);
    struct stat info {};
    if (path.empty() || isNetworkPort(portText) || ::stat(path.c_str(), &info) != 0 ||
        !S_ISCHR(info.st_mode)) {
        return path;
    }
    return "device " + std::to_string(major(info.st_rdev)) + ":" +
           std::to_string(minor(info.st_rdev));
}

} // namespace oryx::platform::PortNames
