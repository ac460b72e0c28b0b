#include "platform/UdevPortDetailsSource.h"

#include <algorithm>
#include <filesystem>
#include <libudev.h>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kByIdPrefix = "/dev/serial/by-id/";

std::string text(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

// The first of the attribute or, failing that, the udev property: attributes are what the
// device itself reports, properties what the database made of them.
std::string attributeOr(udev_device* device, const char* attribute, udev_device* tty,
                        const char* property) {
    std::string value =
        device != nullptr ? text(udev_device_get_sysattr_value(device, attribute)) : std::string();
    return value.empty() ? text(udev_device_get_property_value(tty, property)) : value;
}

// The serial core puts devices of its own between a UART's tty and the UART, bound to
// drivers of its own ("port"); the driver that says what the port is sits above them.
std::string driverBehind(udev_device* tty) {
    for (udev_device* device = udev_device_get_parent(tty); device != nullptr;
         device = udev_device_get_parent(device)) {
        if (text(udev_device_get_subsystem(device)) == "serial-base") {
            continue;
        }
        const std::string driver = text(udev_device_get_driver(device));
        if (!driver.empty()) {
            return driver;
        }
    }
    return {};
}

std::string byIdFromDatabase(udev_device* tty) {
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_devlinks_list_entry(tty)) {
        const std::string link = text(udev_list_entry_get_name(entry));
        if (link.rfind(kByIdPrefix, 0) == 0) {
            return link;
        }
    }
    return {};
}

} // namespace

UdevPortDetailsSource::UdevPortDetailsSource(std::string byIdFolder)
    : m_udev(udev_new()), m_byIdFolder(std::move(byIdFolder)) {}

UdevPortDetailsSource::~UdevPortDetailsSource() {
    if (m_udev != nullptr) {
        udev_unref(m_udev);
    }
}

void UdevPortDetailsSource::addFacts(const std::string& kernelName, PortDetails& details) const {
    if (m_udev == nullptr) {
        return;
    }
    // sysfs writes '!' for the '/' of devices in a sub-folder of /dev.
    std::string sysName = kernelName;
    std::replace(sysName.begin(), sysName.end(), '/', '!');
    udev_device* tty = udev_device_new_from_subsystem_sysname(m_udev, "tty", sysName.c_str());
    if (tty == nullptr) {
        return;
    }
    details.devicePath = text(udev_device_get_devnode(tty));
    details.driver = driverBehind(tty);
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    details.vendorId = attributeOr(usb, "idVendor", tty, "ID_VENDOR_ID");
    details.productId = attributeOr(usb, "idProduct", tty, "ID_MODEL_ID");
    details.manufacturer = attributeOr(usb, "manufacturer", tty, "ID_VENDOR");
    details.product = attributeOr(usb, "product", tty, "ID_MODEL");
    details.serialNumber = attributeOr(usb, "serial", tty, "ID_SERIAL_SHORT");
    details.byIdLink = byIdFromDatabase(tty);
    if (details.byIdLink.empty() && !details.devicePath.empty()) {
        details.byIdLink = byIdLinkTo(details.devicePath);
    }
    udev_device_unref(tty);
}

std::string UdevPortDetailsSource::byIdLinkTo(const std::string& devicePath) const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_byIdFolder, ec)) {
        std::error_code linkError;
        if (fs::equivalent(entry.path(), devicePath, linkError)) {
            return entry.path().string();
        }
    }
    return {};
}

} // namespace oryx::platform
