#pragma once

#include "common/DetectWaitHooksS.h"

class ModemLinkC;

// Waits until the radio starts talking after its cable was reconnected: polls the line every
// 100 ms, discards the first one or two bytes once (plug noise), and ends on more bytes, a
// line error or the user's cancel.
class DetectWaitC {
public:
    static constexpr int kStartDelayMs = 200;
    static constexpr int kPollMs = 100;

    explicit DetectWaitC(ModemLinkC& link) : link_(link) {}

    // True when bytes arrived or a line error was reported, false when cancelled.
    bool Run(const DetectWaitHooksS& wait);

    enum class HeardT { Nothing, Bytes, LineError };
    // One look at the line, for a caller that watches several: the plug noise is dropped
    // here as Run drops it. Call ClearCommError on the link once before the first look.
    HeardT Look();

private:
    ModemLinkC& link_;
    bool discarded_ = false;
};
