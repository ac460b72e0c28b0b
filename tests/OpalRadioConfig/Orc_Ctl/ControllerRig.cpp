#include "ControllerRig.h"

#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace controller_test {

using std::chrono::milliseconds;

oryx::sim::ModuleRadioOptions fastModule(bool bCommandMode) {
    static std::atomic<int> counter{0};
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "ctl-module-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    options.commandMode = bCommandMode;
    options.replyDelay = milliseconds(2);
    options.inquiryDelay = milliseconds(50);
    options.nameDelay = milliseconds(10);
    return options;
}

ControllerRig::ControllerRig(const oryx::sim::ModuleRadioOptions& rOptions)
    : m_pModule(std::make_unique<oryx::sim::ModuleRadio>(rOptions)) {
    m_pModule->start();
    m_port.SetPortName(FWK::UTI::StringC(m_pModule->slavePath()));
    m_port.SetRs232Settings(static_cast<int32_t>(rOptions.settings.baudCode), 1, 1, 1, 2, false);
    m_controller.setPort(&m_port);
    if (m_controller.openPort() != ORC::CFG::CFG_OK) {
        throw std::runtime_error("the controller could not open the simulated module's port");
    }
}

ControllerRig::~ControllerRig() {
    m_controller.closePort();
    m_pModule->stop();
}

} // namespace controller_test
