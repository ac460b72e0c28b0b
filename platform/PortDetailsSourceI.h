#pragma once

#include "platform/PortDetails.h"

#include <string>

namespace oryx::platform {

// The device database behind the port details. The machine's is udev; tests give their own,
// since udev cannot be pointed at a made-up device tree.
class PortDetailsSourceI {
public:
    virtual ~PortDetailsSourceI() = default;
    // Fills in what the database knows about the kernel's tty named kernelName ("ttyUSB0",
    // "serial/ttyX1"); leaves the fields alone for a device it does not know.
    virtual void addFacts(const std::string& kernelName, PortDetails& details) const = 0;
};

} // namespace oryx::platform
