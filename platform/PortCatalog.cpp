#include "platform/PortCatalog.h"

#include "platform/PortNames.h"
#include "platform/UdevPortDetailsSource.h"

#include <filesystem>

namespace oryx::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDevFolder = "/dev/";

} // namespace

PortCatalog::PortCatalog()
    : PortCatalog(PortEnumerator(), std::make_unique<UdevPortDetailsSource>()) {}

PortCatalog::PortCatalog(PortEnumerator enumerator, std::unique_ptr<PortDetailsSourceI> source)
    : m_enumerator(std::move(enumerator)), m_source(std::move(source)) {}

std::vector<PortDetails> PortCatalog::listPorts(OpenCheck check) const {
    std::vector<PortDetails> ports;
    for (const std::string& portText : m_enumerator.listPorts()) {
        ports.push_back(describe(portText, check));
    }
    return ports;
}

PortDetails PortCatalog::describe(const std::string& portText, OpenCheck check) const {
    PortDetails details;
    details.portText = portText;
    details.devicePath = PortNames::devicePath(portText);
    if (m_enumerator.isSimulatorLink(portText)) {
        addSimulatorFacts(details);
    } else if (details.devicePath.rfind(kDevFolder, 0) == 0) {
        m_source->addFacts(details.devicePath.substr(kDevFolder.size()), details);
    }
    if (check == OpenCheck::Try) {
        details.openState = PortEnumerator::openProblem(portText);
    }
    return details;
}

// A simulator's pty has nothing in the device database; its link name says which radio it
// stands for.
void PortCatalog::addSimulatorFacts(PortDetails& details) const {
    const fs::path link(details.portText);
    std::error_code ec;
    const fs::path target = fs::canonical(link, ec);
    if (!ec) {
        details.devicePath = target.string();
    }
    details.simulated = true;
    details.driver = "simulator";
    details.product = link.filename().string();
}

} // namespace oryx::platform
