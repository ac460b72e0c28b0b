#pragma once

#include "sim/ModuleSettings.h"

#include <chrono>
#include <string>
#include <vector>

namespace oryx::sim {

// A radio device in range of the module: found by an inquiry, asked for its name.
struct DeviceInRange {
    enum class NameFault { None, FailOnce, FailAlways, NeverAnswers };

    std::string address;
    long classOfDevice = 7978;
    std::string name;
    NameFault nameFault = NameFault::None;
};

struct ModuleRadioOptions {
    // Name of the published link; empty gives "module".
    std::string linkName;
    // The settings in effect and in permanent memory at power-on; the module runs at the
    // rate of the baud code in effect.
    ModuleSettings settings;
    ModuleSettings storedSettings;
    bool commandMode = false;
    std::vector<DeviceInRange> devices;

    // The silence that must come before and after the escape "///".
    std::chrono::milliseconds guardTime{1000};
    std::chrono::milliseconds replyDelay{5};
    // From an inquiry command to its result lines.
    std::chrono::milliseconds inquiryDelay{2000};
    // From a name query to its answer.
    std::chrono::milliseconds nameDelay{300};
};

} // namespace oryx::sim
