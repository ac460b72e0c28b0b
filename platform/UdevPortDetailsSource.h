#pragma once

#include "platform/PortDetailsSourceI.h"

#include <string>

struct udev;

namespace oryx::platform {

// Port details from udev: the driver of the tty's parent device, the USB device's ids and
// strings, and the /dev/serial/by-id link. Without a running udev daemon the database has no
// links, so the by-id folder is then searched for a link to the device instead.
class UdevPortDetailsSource : public PortDetailsSourceI {
public:
    explicit UdevPortDetailsSource(std::string byIdFolder = "/dev/serial/by-id");
    ~UdevPortDetailsSource() override;
    UdevPortDetailsSource(const UdevPortDetailsSource&) = delete;
    UdevPortDetailsSource& operator=(const UdevPortDetailsSource&) = delete;

    void addFacts(const std::string& kernelName, PortDetails& details) const override;

private:
    std::string byIdLinkTo(const std::string& devicePath) const;

    struct udev* m_udev = nullptr;
    std::string m_byIdFolder;
};

} // namespace oryx::platform
