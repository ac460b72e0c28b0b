#pragma once

#include "cli/PortChoiceS.h"

#include <string>

// What the command line asks of `oryx-cli discover`.
struct DiscoverOptionsS {
    // "module", "modem" or "all" (modules first, then the modem on the ports left).
    std::string family = "all";
    PortChoiceS portChoice;
    bool json = false;
    std::string trace;
    // The modem's listening rate, the first of its rate walk.
    std::string modemBaud = "9600";
    // The rate each port is tried at first for a module.
    std::string moduleBaud = "115200";
    // How long each wait for the modem's banner lasts, in seconds.
    int waitSeconds = 60;
};
