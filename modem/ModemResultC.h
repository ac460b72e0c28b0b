#pragma once

#include <cstdint>

// How the modem family reports failure.
//
// Every primitive of ModemLinkC returns one of the result codes below and, when it fails,
// has already written its own line beginning with "ERROR" to the event log; it never shows
// anything and never retries. The operations built on the link (ModemSettingsC,
// ModemDefaultsC, ModemDetectionC) return the same codes, add their own log line and decide
// what the user sees; only they, and the session's OpenModemPort, show message boxes. On top,
// the operations a user starts (connect, save, defaults) also return a ModemOutcomeT: what the
// user's request came to, set where its message is shown, so that a caller without a screen
// (the command line) can act on it without reading messages. Nothing here throws, nothing
// is retried behind the caller's back, and the codes never leave the program. Everything
// runs on one thread: the link, the session and the view are not locked.
enum ModemResultT : int16_t {
    RC_OK = 0,
    RC_UNDEFINED = 1,         // a platform call failed, or no terminator, prompt or step worked
    RC_PORT_SETUP_FAILED = 2, // the port did not open or configure, or refused a new rate
    RC_PORT_NOT_OPEN = 3,
    RC_NO_CHAR = 4, // no byte within the read time-outs
    RC_NO_WRITE = 5,
    RC_BUFFER_FULL = 10,
    RC_CANCELLED = 11, // the user declined or cancelled
};

// What a connect, save or defaults request came to.
enum class ModemOutcomeT {
    Ok,
    Cancelled,       // the user cancelled the wait for the radio or a question
    Declined,        // the user answered no to the defaults question; nothing was sent
    PortUnavailable, // the port did not open at any rate
    RadioFailed,     // the radio did not answer as it must, or did not take what was asked
};
