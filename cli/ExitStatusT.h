#pragma once

// What oryx-cli tells the calling script. The values are part of its interface.
enum class ExitStatusT : int {
    Success = 0,
    RadioFailed = 1,
    Usage = 2,
    PortUnavailable = 3,
    Cancelled = 4,
    // The radio answered at none of the rates tried.
    ConnectFailed = 5,
};
