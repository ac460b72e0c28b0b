#pragma once

#include "ORC_CFG_OpalDeviceControllerImplC.h"
#include "ORC_PRT_SerialPortC.h"
#include "sim/ModuleRadio.h"

#include <memory>
#include <string>

namespace controller_test {

// Simulator settings that keep the tests short: quick answers, short inquiry and name delays.
oryx::sim::ModuleRadioOptions fastModule(bool bCommandMode = true);

// A simulated module on a pty, a serial port on its slave at the module's rate, and a controller
// on that port, opened.
class ControllerRig {
public:
    explicit ControllerRig(const oryx::sim::ModuleRadioOptions& rOptions = fastModule());
    ~ControllerRig();

    ORC::CFG::OpalDeviceControllerImplC& controller() { return m_controller; }
    ORC::PRT::SerialPortC& port() { return m_port; }
    oryx::sim::ModuleRadio& module() { return *m_pModule; }
    // Everything the controller wrote since the last clear.
    std::string written() { return m_pModule->traffic().written(); }
    void clearTraffic() { m_pModule->traffic().clear(); }

private:
    std::unique_ptr<oryx::sim::ModuleRadio> m_pModule;
    ORC::PRT::SerialPortC m_port;
    ORC::CFG::OpalDeviceControllerImplC m_controller;
};

} // namespace controller_test
