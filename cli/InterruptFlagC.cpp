#include "cli/InterruptFlagC.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> raised{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void OnInterrupt(int) {
    raised.store(true);
}

} // namespace

void InterruptFlagC::Install() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // One-shot: a user who presses Ctrl-C again does not want to wait for a clean stop.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptFlagC::Raised() {
    return raised.load();
}
