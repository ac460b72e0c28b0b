#include "module/ModuleDiscoveryC.h"

#include "module/ModuleCoreC.h"
#include "platform/PortEnumerator.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

// Learns, before each escape, whether the module already answers: one that does was found
// in command mode and is left there; one the escape brought in goes back to data mode.
class ProbeWatchC : public ModuleConnectWatchI {
public:
    ProbeWatchC(ModuleCoreC& core, const std::function<bool()>& cancelled)
        : core_(core), cancelled_(cancelled) {}

    bool StopRequested() override { return cancelled_ && cancelled_(); }
    void PortOpened() override { foundInCommandMode_ = core_.Answers(); }

    bool foundInCommandMode() const { return foundInCommandMode_; }

private:
    ModuleCoreC& core_;
    const std::function<bool()>& cancelled_;
    bool foundInCommandMode_ = false;
};

DiscoveredPortS NotFound(const std::string& port, std::string reason) {
    DiscoveredPortS result;
    result.port = port;
    result.family = DiscoveredPortS::kModule;
    result.reason = std::move(reason);
    return result;
}

} // namespace

DiscoveredPortS ModuleDiscoveryC::Probe(const std::string& port, const OptionsS& options) {
    // A port held by another program is reported as it is, never taken over.
    if (const auto problem = oryx::platform::PortEnumerator::openProblem(port); !problem.ok()) {
        return NotFound(port, DiscoveredPortS::ReasonFor(problem));
    }
    ModuleCoreC::ControllerT controller;
    ModuleCoreC core(controller);
    ProbeWatchC watch(core, options.cancelled);
    const ModuleConnectedS connected = core.Connect(port, options.firstBaud, false, watch);
    if (!connected.result.ok()) {
        return NotFound(port, connected.result.outcome == ModuleOutcomeT::Stopped
                                  ? DiscoveredPortS::kStopped
                                  : DiscoveredPortS::kNoAnswer);
    }
    const ModuleReadS named = core.ReadName();
    if (!watch.foundInCommandMode()) {
        core.LeaveCommandMode(false);
    }
    core.ClosePort();
    DiscoveredPortS result = NotFound(port, {});
    result.found = true;
    result.model = named.name;
    result.address = named.address;
    result.baud = connected.baud;
    return result;
}

std::vector<DiscoveredPortS> ModuleDiscoveryC::Run(const std::vector<std::string>& ports,
                                                   const OptionsS& options) {
    std::vector<DiscoveredPortS> results(ports.size());
    std::atomic<std::size_t> next{0};
    std::mutex doneLock;
    auto probeNext = [&] {
        for (std::size_t i = next++; i < ports.size(); i = next++) {
            results[i] = options.cancelled && options.cancelled()
                             ? NotFound(ports[i], DiscoveredPortS::kStopped)
                             : Probe(ports[i], options);
            if (options.portDone) {
                std::lock_guard guard(doneLock);
                options.portDone(results[i]);
            }
        }
    };
    std::vector<std::thread> workers;
    const std::size_t count = std::min(std::max<std::size_t>(options.jobs, 1), ports.size());
    for (std::size_t i = 0; i < count; ++i) {
        workers.emplace_back(probeNext);
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return results;
}
