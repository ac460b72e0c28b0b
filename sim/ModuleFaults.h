#pragma once

#include <chrono>
#include <map>
#include <string>

namespace oryx::sim {

// What the simulated radio module can be told to get wrong on top of the host's faults
// (silence, garbage, ERROR for everything, answers split into bytes, extra delay).
struct ModuleFaults {
    enum class Kind {
        // Answers ERROR without carrying the command out.
        Error,
        // Neither carries the command out nor answers.
        NoAnswer,
        // Carries it out and answers `delay` later.
        Delay,
        // Carries it out and holds the answer back until the next command line begins;
        // the answer then goes out in front of that line's echo.
        Hold
    };

    struct WordFault {
        Kind kind = Kind::Error;
        std::chrono::milliseconds delay{0};
    };

    // By command word: "AGLN" for "AT*AGLN...", the whole line for the plain commands
    // ("AT", "AT&F", "ATP").
    std::map<std::string, WordFault> words;
    // An inquiry lists every device in range, also beyond the most it asked for.
    bool inquiryListsAll = false;
    // Sent in front of the echo of every command line; empty for none.
    std::string strayBytes;
};

} // namespace oryx::sim
