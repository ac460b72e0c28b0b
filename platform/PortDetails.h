#pragma once

#include "platform/SerialError.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace oryx::platform {

// What the machine knows about one port, for telling adapters apart. Text fields are empty
// where nothing is known (a built-in UART has no USB ids, a machine without udev no by-id
// link).
struct PortDetails {
    std::string portText;   // as the port list shows it: "ttyUSB0", or a simulator's link
    std::string devicePath; // the device node: "/dev/ttyUSB0", "/dev/pts/4"
    std::string byIdLink;   // the stable /dev/serial/by-id link
    std::string driver;
    std::string vendorId; // four hex digits
    std::string productId;
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
    bool simulated = false;
    // The result of trying to open the port; nothing when it was not tried.
    std::optional<SerialError> openState;

    // "0403:6001", empty without USB ids.
    std::string usbId() const;
    // "opens", the reason it does not, or "not checked".
    std::string openText() const;
    // The known fields as label and value, in the order people read them.
    std::vector<std::pair<std::string, std::string>> knownFields() const;
    // One "Label: value" line per known field.
    std::string describe() const;
};

} // namespace oryx::platform
