#pragma once

#include "cli/PortChoiceS.h"

#include <optional>
#include <string>

// What the command line asks of `oryx-cli modem`.
struct ModemOptionsS {
    enum class OperationT { Read, Write, Defaults };

    OperationT operation = OperationT::Read;
    PortChoiceS portChoice;
    // The one port this run talks to.
    std::string port;
    std::string baud = "115200";
    bool json = false;
    std::string eventLog;
    bool service = false;
    bool assumeYes = false;

    // write: what to change; anything not given keeps the radio's value.
    std::optional<std::string> mode;
    std::optional<std::string> device;
    std::optional<int> link;
    std::optional<std::string> setBaud;
    std::optional<std::string> band;
    std::optional<int> power;
};
