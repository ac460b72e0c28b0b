#include "platform/PortWatcher.h"

#include "OwnSimulatorFolderC.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"

#include <chrono>
#include <gtest/gtest.h>
#include <poll.h>

namespace oryx::platform {
namespace {

using namespace std::chrono_literals;

// Waits on the watcher's descriptor, as a dialog does, until the list is the expected one.
bool WaitForPorts(PortWatcher& watcher, const std::vector<std::string>& expected) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (watcher.ports() != expected) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            return false;
        }
        pollfd wait{watcher.fd(), POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) > 0) {
            watcher.drainEvents();
        }
    }
    return true;
}

TEST(PortWatcherTest, SeesASimulatorsPortComeAndGo) {
    ScratchDirC scratch;
    OwnSimulatorFolderC folder(scratch.path());
    // No tty entries: only the simulators count.
    PortWatcher watcher(PortEnumerator(scratch.file("no-sys"), folder.path()), false);
    ASSERT_TRUE(watcher.ports().empty());

    sim::ModemRadioOptions options;
    sim::ModemRadio radio(options);
    radio.start(); // makes the folder, which did not exist yet
    const std::vector<std::string> withRadio{radio.portText()};
    EXPECT_TRUE(WaitForPorts(watcher, withRadio)) << "start";
    radio.unplug(); // its link stays, its pty goes
    EXPECT_TRUE(WaitForPorts(watcher, {})) << "unplug";
    radio.replug();
    EXPECT_TRUE(WaitForPorts(watcher, withRadio)) << "replug";
    radio.stop();
    EXPECT_TRUE(WaitForPorts(watcher, {})) << "stop";
}

} // namespace
} // namespace oryx::platform
