#pragma once

#include <functional>

// What a wait for a radio needs of whoever shows it: keep the user interface alive for the
// given time between two looks at the line, and tell whether the user cancelled. The detect
// dialog fills it with its event pump and Cancel button, tests and the command line with a
// sleep and their own flag.
struct DetectWaitHooksS {
    std::function<void(int ms)> pumpFor;
    std::function<bool()> cancelled;
};
