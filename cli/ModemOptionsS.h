#pragma once

#include "cli/PortChoiceS.h"
#include "modem/ModemChangeS.h"

#include <string>

// What the command line asks of `oryx-cli modem`.
struct ModemOptionsS {
    enum class OperationT { Read, Write, Defaults, Apply };

    OperationT operation = OperationT::Read;
    PortChoiceS portChoice;
    // The one port this run talks to.
    std::string port;
    std::string baud = "115200";
    bool json = false;
    std::string eventLog;
    std::string trace;
    bool service = false;
    bool assumeYes = false;

    // write: what to change; anything not given keeps the radio's value.
    ModemChangeS change;

    // read: also write the settings to this profile; apply: the profile to write, and
    // whether only to show what would change.
    std::string saveProfile;
    std::string profile;
    bool dryRun = false;
};
