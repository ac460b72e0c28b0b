#pragma once

// Ctrl-C as the Cancel button: the first SIGINT only raises a flag that the running operation
// looks at when it can stop cleanly; a second one ends the program the usual way.
class InterruptFlagC {
public:
    static void Install();
    static bool Raised();
};
