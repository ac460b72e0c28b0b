// Feeds the port-text functions arbitrary texts: a COM number names exactly its ttyS device,
// a device path is never relative, and the list order is a strict order over any three texts.
//
// Input: up to three texts separated by zero bytes.

#include "FuzzChecks.h"
#include "platform/PortNames.h"

#include <string>
#include <string_view>
#include <vector>

namespace PortNames = oryx::platform::PortNames;

namespace {

void CheckOne(std::string_view text) {
    const std::string path = PortNames::devicePath(text);
    FuzzCheck(path.empty() || path.front() == '/', "a relative device path");
    const auto number = PortNames::comNumber(text);
    if (number) {
        FuzzCheck(*number <= 999999, "a COM number beyond its digits");
        FuzzCheck(path == (*number == 0 ? "" : "/dev/ttyS" + std::to_string(*number - 1)),
                  "a COM number naming another device");
        FuzzCheck(PortNames::displayName(text) == "COM" + std::to_string(*number),
                  "a COM number shown otherwise");
    } else {
        FuzzCheck(PortNames::displayName(text) == text, "a device name shown otherwise");
    }
    FuzzCheck(!PortNames::comesBefore(text, text), "a text before itself");
    FuzzCheck(PortNames::samePort(text, text) == !path.empty(), "a port not the same as itself");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string_view> texts;
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    size_t from = 0;
    while (texts.size() < 3) {
        const size_t end = all.find('\0', from);
        texts.push_back(all.substr(from, end == std::string_view::npos ? end : end - from));
        if (end == std::string_view::npos) {
            break;
        }
        from = end + 1;
    }
    for (std::string_view text : texts) {
        CheckOne(text);
    }
    if (texts.size() >= 2) {
        const auto a = texts[0], b = texts[1];
        FuzzCheck(!(PortNames::comesBefore(a, b) && PortNames::comesBefore(b, a)),
                  "two texts each before the other");
        FuzzCheck(PortNames::samePort(a, b) == PortNames::samePort(b, a), "samePort not symmetric");
    }
    if (texts.size() == 3) {
        const auto a = texts[0], b = texts[1], c = texts[2];
        if (PortNames::comesBefore(a, b) && PortNames::comesBefore(b, c)) {
            FuzzCheck(PortNames::comesBefore(a, c), "the list order not transitive");
        }
    }
    return 0;
}
