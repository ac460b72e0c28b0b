#pragma once

#include <chrono>

namespace oryx::sim {

// What a simulated radio can be told to get wrong. All off by default.
struct Faults {
    // Hears nothing and says nothing.
    bool silent = false;
    // Everything it sends arrives as garbage, as at a wrong baud rate.
    bool garbage = false;
    // Answers every command with an error instead of carrying it out.
    bool answerError = false;
    // Sends every reply one byte at a time, byteGap apart.
    bool splitIntoBytes = false;
    std::chrono::milliseconds byteGap{2};
    // Sends every reply in pieces of random length, each up to chunkGap after the one before,
    // as a USB adapter hands over what it happens to have.
    bool randomChunks = false;
    std::chrono::milliseconds chunkGap{2};
    // Added to the delay of everything it sends.
    std::chrono::milliseconds extraDelay{0};
};

} // namespace oryx::sim
