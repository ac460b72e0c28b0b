#include "moduleui/HandedBackWatchC.h"

bool HandedBackWatchC::StopRequested() {
    bool stop = false;
    view_.OnViewThread([&] { stop = watch_.StopRequested(); });
    return stop;
}

void HandedBackWatchC::Trying(const std::string& baud) {
    view_.OnViewThread([&] { watch_.Trying(baud); });
}

void HandedBackWatchC::PortOpened() {
    view_.OnViewThread([&] { watch_.PortOpened(); });
}

void HandedBackWatchC::CommandModeEntered(bool entered) {
    view_.OnViewThread([&] { watch_.CommandModeEntered(entered); });
}

void HandedBackWatchC::PortClosing() {
    view_.OnViewThread([&] { watch_.PortClosing(); });
}

void HandedBackWatchC::AttemptFailed(const std::string& text) {
    view_.OnViewThread([&] { watch_.AttemptFailed(text); });
}
