#pragma once

#include "platform/PortDetails.h"
#include "platform/PortDetailsSourceI.h"
#include "platform/PortEnumerator.h"

#include <memory>
#include <string>
#include <vector>

namespace oryx::platform {

// The port list with the details of each port: the kernel's serial devices as the device
// database describes them, and the simulators' links.
class PortCatalog {
public:
    enum class OpenCheck { Skip, Try };

    // The machine's ports, described by udev.
    PortCatalog();
    PortCatalog(PortEnumerator enumerator, std::unique_ptr<PortDetailsSourceI> source);

    // In port list order. Trying to open a port is what tells whether another program holds
    // it, so only callers that show that do it.
    std::vector<PortDetails> listPorts(OpenCheck check) const;
    // Any port text, listed or typed by the user.
    PortDetails describe(const std::string& portText, OpenCheck check) const;

    const PortEnumerator& enumerator() const { return m_enumerator; }

private:
    void addSimulatorFacts(PortDetails& details) const;

    PortEnumerator m_enumerator;
    std::unique_ptr<PortDetailsSourceI> m_source;
};

} // namespace oryx::platform
