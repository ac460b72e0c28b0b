#pragma once

#include <string>

// What a front end shows or decides while a connect goes over the rates. Every call has a
// default, so a front end overrides only what it shows.
class ModuleConnectWatchI {
public:
    virtual ~ModuleConnectWatchI() = default;

    // Asked before each rate after the first; true ends the connect as stopped.
    virtual bool StopRequested() { return false; }
    // Before the port is opened again at a rate after the first.
    virtual void Trying(const std::string& /*baud*/) {}
    // The port is open; the escape to command mode follows.
    virtual void PortOpened() {}
    // The escape's outcome, before anything else is sent.
    virtual void CommandModeEntered(bool /*entered*/) {}
    // The module did not answer at this rate; the port is closed next.
    virtual void PortClosing() {}
    // The attempt at a rate failed; text is the status line for it.
    virtual void AttemptFailed(const std::string& /*text*/) {}
};
