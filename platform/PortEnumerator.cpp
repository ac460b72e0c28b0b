#include "platform/PortEnumerator.h"

#include "platform/PortNames.h"
#include "platform/SerialDevice.h"
#include "platform/SimulatorFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

// The 8250 driver registers every legacy port whether or not a UART answers; such an entry
// says type 0 and cannot be opened, so it is left out.
bool isUnpopulatedUart(const fs::path& entry) {
    std::ifstream typeFile(entry / "type");
    int type = -1;
    return typeFile >> type && type == 0;
}

bool isCharacterDevice(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

} // namespace

PortEnumerator::PortEnumerator() : PortEnumerator("/sys/class/tty", simulatorLinkFolder()) {}

PortEnumerator::PortEnumerator(std::string sysClassTty, std::string simulatorFolder)
    : m_sysClassTty(std::move(sysClassTty)), m_simulatorFolder(std::move(simulatorFolder)) {}

std::vector<std::string> PortEnumerator::listPorts() const {
    std::vector<std::string> ports;
    addKernelDevices(ports);
    addSimulatorLinks(ports);
    std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
        return PortNames::comesBefore(a, b);
    });
    return ports;
}

void PortEnumerator::addKernelDevices(std::vector<std::string>& ports) const {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_sysClassTty, ec)) {
        std::error_code linkError;
        if (!fs::exists(entry.path() / "device", linkError) || isUnpopulatedUart(entry.path())) {
            continue;
        }
        // sysfs writes '!' for the '/' of devices in a sub-folder of /dev.
        std::string name = entry.path().filename().string();
        std::replace(name.begin(), name.end(), '!', '/');
        ports.push_back(name);
    }
}

void PortEnumerator::addSimulatorLinks(std::vector<std::string>& ports) const {
    if (!isPrivateFolder(m_simulatorFolder)) {
        return;
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_simulatorFolder, ec)) {
        std::error_code linkError;
        // A simulator that ended leaves at most a dangling link, which is not a port.
        if (entry.is_symlink(linkError) && isCharacterDevice(entry.path())) {
            ports.push_back(entry.path().string());
        }
    }
}

bool PortEnumerator::isSimulatorLink(const std::string& portText) const {
    const fs::path path(portText);
    return path.is_absolute() && path.parent_path() == fs::path(m_simulatorFolder);
}

bool PortEnumerator::portOpens(const std::string& portText) {
    return openProblem(portText).ok();
}

SerialError PortEnumerator::openProblem(const std::string& portText) {
    SerialDevice device;
    return device.open(portText);
}

} // namespace oryx::platform
