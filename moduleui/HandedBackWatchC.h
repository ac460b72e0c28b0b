#pragma once

#include "module/ModuleConnectWatchI.h"
#include "moduleui/ModuleViewI.h"

// Lets a connect that runs away from the view's thread show its progress: every call is
// handed to watch on the view's thread, and the connect waits for it.
class HandedBackWatchC : public ModuleConnectWatchI {
public:
    HandedBackWatchC(ModuleConnectWatchI& watch, ModuleViewI& view) : watch_(watch), view_(view) {}

    bool StopRequested() override;
    void Trying(const std::string& baud) override;
    void PortOpened() override;
    void CommandModeEntered(bool entered) override;
    void PortClosing() override;
    void AttemptFailed(const std::string& text) override;

private:
    ModuleConnectWatchI& watch_;
    ModuleViewI& view_;
};
