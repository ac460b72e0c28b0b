#pragma once

#include "cli/PortChoiceS.h"

#include <optional>
#include <string>

// What the command line asks of `oryx-cli module`.
struct ModuleOptionsS {
    enum class OperationT { Read, Write, Search, Pair, Paired, Version, Apply };

    OperationT operation = OperationT::Read;
    PortChoiceS portChoice;
    // The one port this run talks to.
    std::string port;
    std::string baud = "115200";
    bool json = false;
    std::string eventLog;
    std::string trace;
    // A debug configuration for the library's own diagnostics.
    std::string debugConfig;

    // write: every check on these runs before the port is opened.
    std::string name;
    std::string role;
    std::optional<unsigned long> moduleBaud;

    // pair: the address of a device that the search finds.
    std::string address;

    // read: also write the settings to this profile; apply: the profile to write, and
    // whether only to show what would change.
    std::string saveProfile;
    std::string profile;
    bool dryRun = false;
};
