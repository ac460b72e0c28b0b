#pragma once

#include <string>

// How an operation on the module ended. Front ends decide on this, never on the texts.
enum class ModuleOutcomeT {
    Done,
    // A check failed before anything was sent.
    Refused,
    // The module did not do it (or did not answer).
    Failed,
    // Search and pairing need the client role.
    NotClientRole,
    NotPaired,
    // The front end asked the operation to stop.
    Stopped,
};

// An outcome with the texts the user is shown for it: the status line (the command line's
// message) and the message box, which some outcomes do not have.
struct ModuleResultS {
    ModuleOutcomeT outcome = ModuleOutcomeT::Done;
    std::string text;
    std::string box;

    bool ok() const { return outcome == ModuleOutcomeT::Done; }
};
