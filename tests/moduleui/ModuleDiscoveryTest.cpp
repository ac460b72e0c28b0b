#include "module/ModuleDiscoveryC.h"
#include "platform/SerialDevice.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace {

using ::testing::UnorderedElementsAreArray;

struct ModuleCaseS {
    long baudCode;
    bool commandMode;
    const char* name;
    const char* address;
    // What discovery is to report for the port.
    bool found;
    const char* baud;
    const char* reason;
    bool silent = false;
    bool busy = false;
};

// Modules at several rates and in both modes, one that hears nothing and one whose port
// another program holds: every port probed in one run.
const ModuleCaseS kCases[] = {
    {5, false, "AT-9600", "00803700A001", true, "9600", ""},
    {8, true, "AT-57600", "00803700A002", true, "57600", ""},
    {9, false, "AT-115200", "00803700A003", true, "115200", ""},
    {4, false, "AT-4800", "00803700A004", true, "4800", ""},
    {9, false, "SILENT", "00803700A005", false, "", "no answer", true},
    {9, false, "BUSY", "00803700A006", false, "", "busy", false, true},
};

TEST(ModuleDiscoveryTest, FindsEachModuleAtItsRateReportsTheRestAndLeavesEachInItsMode) {
    std::vector<std::unique_ptr<oryx::sim::ModuleRadio>> modules;
    std::vector<oryx::sim::ModuleSettings> stored;
    std::vector<std::string> ports;
    oryx::platform::SerialDevice holder;
    for (const ModuleCaseS& c : kCases) {
        oryx::sim::ModuleRadioOptions options;
        options.linkName = "discover-" + std::to_string(::getpid()) + "-" + c.name;
        options.settings.baudCode = c.baudCode;
        options.settings.name = c.name;
        options.settings.address = c.address;
        options.storedSettings = options.settings;
        options.commandMode = c.commandMode;
        options.replyDelay = std::chrono::milliseconds(0);
        modules.push_back(std::make_unique<oryx::sim::ModuleRadio>(options));
        oryx::sim::Faults faults;
        faults.silent = c.silent;
        modules.back()->setFaults(faults);
        modules.back()->start();
        stored.push_back(options.storedSettings);
        ports.push_back(modules.back()->portText());
        if (c.busy) {
            ASSERT_TRUE(holder.open(ports.back()).ok());
        }
    }

    std::mutex lock;
    std::vector<std::string> done;
    ModuleDiscoveryC::OptionsS options;
    options.jobs = 4;
    options.portDone = [&](const DiscoveredPortS& port) {
        std::lock_guard guard(lock);
        done.push_back(port.port);
    };
    const std::vector<DiscoveredPortS> results = ModuleDiscoveryC::Run(ports, options);

    ASSERT_EQ(results.size(), std::size(kCases));
    EXPECT_THAT(done, UnorderedElementsAreArray(ports));
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ModuleCaseS& c = kCases[i];
        const DiscoveredPortS& r = results[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(r.port, ports[i]);
        EXPECT_EQ(r.family, "module");
        EXPECT_EQ(r.found, c.found);
        EXPECT_EQ(r.baud, c.baud);
        EXPECT_EQ(r.reason, c.reason);
        EXPECT_EQ(r.model, c.found ? c.name : "");
        EXPECT_EQ(r.address, c.found ? c.address : "");
        EXPECT_EQ(modules[i]->inCommandMode(), c.commandMode);
        EXPECT_EQ(modules[i]->storedSettings(), stored[i]);
    }
}

// A cancel ends a probe before its next rate, and ports not yet started are not opened.
TEST(ModuleDiscoveryTest, ACancelEndsTheProbesAtTheirNextRate) {
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "discover-stop-" + std::to_string(::getpid());
    oryx::sim::ModuleRadio module(options);
    oryx::sim::Faults faults;
    faults.silent = true;
    module.setFaults(faults);
    module.start();
    ModuleDiscoveryC::OptionsS discovery;
    discovery.jobs = 1;
    discovery.cancelled = [&module] { return !module.traffic().written().empty(); };
    const auto results = ModuleDiscoveryC::Run({module.portText(), module.portText()}, discovery);

    ASSERT_EQ(results.size(), 2u);
    for (const DiscoveredPortS& r : results) {
        EXPECT_FALSE(r.found);
        EXPECT_EQ(r.reason, "stopped");
    }
    const std::string written = module.traffic().written();
    EXPECT_EQ(std::count(written.begin(), written.end(), '/'), 3) << written;
}

} // namespace
