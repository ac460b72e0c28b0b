#pragma once

#include <string>

// One port as a discovery left it: the radio that answered on it, or why none did. Both
// families' discoveries give these, and every front end shows them as they are.
struct DiscoveredPortS {
    std::string port;
    // "modem" or "module".
    std::string family;
    bool found = false;
    // The modem's model (its device list's family, e.g. "ORYX62") or the module's local name.
    std::string model;
    // The module's address; empty for a modem.
    std::string address;
    // The rate it answered at, as the dialogs' rate boxes write it ("57600").
    std::string baud;
    // When nothing was found: why ("busy", "permission denied", "no answer", ...).
    std::string reason;
};
