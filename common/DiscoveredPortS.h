#pragma once

#include "platform/SerialError.h"

#include <cerrno>
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

    static constexpr const char* kModem = "modem";
    static constexpr const char* kModule = "module";
    static constexpr const char* kBusy = "busy";
    static constexpr const char* kPermissionDenied = "permission denied";
    static constexpr const char* kNoSuchPort = "no such port";
    static constexpr const char* kNoAnswer = "no answer";
    static constexpr const char* kStopped = "stopped";

    // Why a port that did not open was passed over: the reasons a user meets most in a few
    // words (the port is already named beside them), any other in the platform's sentence.
    static std::string ReasonFor(const oryx::platform::SerialError& error) {
        switch (error.code) {
        case EBUSY:
            return kBusy;
        case EACCES:
        case EPERM:
            return kPermissionDenied;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return kNoSuchPort;
        default:
            return error.message;
        }
    }
};
