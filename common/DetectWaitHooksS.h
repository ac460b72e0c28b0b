#pragma once

#include <functional>

// What a wait for a radio needs of whoever shows it: keep the user interface alive for the
// given time between two looks at the line, and tell whether the user cancelled. The detect
// dialog fills it with its event pump and Cancel button, tests and the command line with a
// sleep and their own flag.
struct DetectWaitHooksS {
    // What the user is asked to do while the wait runs.
    static constexpr const char* kReconnectText =
        "Please disconnect, then reconnect the cable to the radio.";

    std::function<void(int ms)> pumpFor;
    std::function<bool()> cancelled;
};
