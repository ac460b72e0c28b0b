#include "platform/PortDetails.h"

namespace oryx::platform {

std::string PortDetails::usbId() const {
    if (vendorId.empty() && productId.empty()) {
        return {};
    }
    return vendorId + ":" + productId;
}

std::string PortDetails::openText() const {
    if (!openState) {
        return "not checked";
    }
    return openState->ok() ? "opens" : openState->message;
}

std::vector<std::pair<std::string, std::string>> PortDetails::knownFields() const {
    const std::pair<std::string, std::string> all[] = {
        {"Device", devicePath},
        {"By id", byIdLink},
        {"Driver", driver},
        {"USB id", usbId()},
        {"Manufacturer", manufacturer},
        {"Product", product},
        {"Serial number", serialNumber},
        {"Status", openState ? openText() : std::string()},
    };
    std::vector<std::pair<std::string, std::string>> known;
    for (const auto& field : all) {
        if (!field.second.empty()) {
            known.push_back(field);
        }
    }
    return known;
}

std::string PortDetails::describe() const {
    std::string text;
    for (const auto& [label, value] : knownFields()) {
        text += (text.empty() ? "" : "\n") + label + ": " + value;
    }
    return text;
}

} // namespace oryx::platform
