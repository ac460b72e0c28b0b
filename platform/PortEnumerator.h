#pragma once

#include "platform/SerialError.h"

#include <string>
#include <vector>

namespace oryx::platform {

// The serial ports of this machine: the kernel's serial devices (sysfs tty entries backed by
// a device) and the ports that running simulators publish. Entries are port texts: names
// relative to /dev for devices, absolute link paths for simulators.
class PortEnumerator {
public:
    PortEnumerator();
    // For tests: a stand-in for /sys/class/tty and for the simulator folder.
    PortEnumerator(std::string sysClassTty, std::string simulatorFolder);

    // Sorted by PortNames::comesBefore; listed does not mean usable (see portOpens).
    std::vector<std::string> listPorts() const;

    // The open test: true when the port opens now. A port held by another program does not.
    static bool portOpens(const std::string& portText);
    // Why the port does not open now, in words the user can act on; ok() when it opens.
    static SerialError openProblem(const std::string& portText);

    const std::string& simulatorFolder() const { return m_simulatorFolder; }
    // True for a link in the simulator folder.
    bool isSimulatorLink(const std::string& portText) const;

private:
    void addKernelDevices(std::vector<std::string>& ports) const;
    void addSimulatorLinks(std::vector<std::string>& ports) const;

    std::string m_sysClassTty;
    std::string m_simulatorFolder;
};

} // namespace oryx::platform
