// Many exchanges through the exported controller against a simulated module whose answers come
// in random pieces after random delays inside the time-outs: every answer must be right and
// the memory must stay flat. ORYX_SOAK_EXCHANGES sets the count (tools/soak-facade runs
// 100 000 under AddressSanitizer); the suite runs a short smoke run.
#include "ORC_CFG_OpalDeviceControllerC.h"
#include "sim/ModuleRadio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <unistd.h>

namespace {

using namespace ORC::CFG;
using namespace std::chrono_literals;

constexpr long kDefaultExchanges = 500;
constexpr long kSampleEvery = 10000;
// Growth of the resident set between the first sample and the end that still counts as flat:
// far below what a leak of even a few bytes per exchange adds up to over 100 000 exchanges.
constexpr long kFlatGrowthKb = 8 * 1024;

long Exchanges() {
    const char* text = std::getenv("ORYX_SOAK_EXCHANGES");
    return text != nullptr ? std::atol(text) : kDefaultExchanges;
}

struct MemoryS {
    long rssKb = 0;
    long peakKb = 0;
};

MemoryS Memory() {
    MemoryS memory;
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> memory.rssKb;
        } else if (key == "VmHWM:") {
            status >> memory.peakKb;
        }
    }
    return memory;
}

void Print(long exchanges, const MemoryS& memory, long wrong) {
    std::cout << "soak " << exchanges << " exchanges: VmRSS " << memory.rssKb << " kB, VmHWM "
              << memory.peakKb << " kB, wrong answers " << wrong << std::endl;
}

// One facade call with a known answer per kind, in turn: a name set, the name and address
// read back, a client profile set, the profile read back, the serial settings read.
class SoakC {
public:
    SoakC(OpalDeviceControllerC& controller, oryx::sim::ModuleRadio& module)
        : controller_(controller), module_(module) {}

    bool Exchange(long index) {
        switch (index % 5) {
        case 0: {
            name_ = "Soak " + std::to_string(index % 100000);
            std::vector<char> text(name_.begin(), name_.end());
            text.push_back('\0');
            return controller_.setDeviceName(text.data(), false) == CFG_OK &&
                   module_.settings().name == name_;
        }
        case 1: {
            DevNameAddressPairT device;
            return controller_.getDeviceNameAndAddress(device) == CFG_OK &&
                   device.m_szName == name_ && device.m_szAddress == module_.settings().address;
        }
        case 2:
            profile_ = index % 2 == 0 ? PROFILE_SERIAL_PORT : PROFILE_NONE;
            return controller_.configureDefaultClientProfile(profile_, false) == CFG_OK &&
                   module_.settings().clientProfile == profile_;
        case 3: {
            ConnectionProfileT profile = PROFILE_NONE;
            return controller_.getDefaultClientProfile(profile) == CFG_OK && profile == profile_;
        }
        default: {
            RS232SettingsS line;
            return controller_.getRS232Settings(line) == CFG_OK && line.m_lBaudRate == BAUD_115200;
        }
        }
    }

private:
    OpalDeviceControllerC& controller_;
    oryx::sim::ModuleRadio& module_;
    std::string name_ = "ORYX-64";
    ConnectionProfileT profile_ = PROFILE_NONE;
};

TEST(FacadeSoakTest, EveryAnswerIsRightAndTheMemoryStaysFlat) {
    oryx::sim::ModuleRadioOptions options;
    options.linkName = "soak-module-" + std::to_string(::getpid());
    options.commandMode = true;
    options.replyDelay = 0ms;
    oryx::sim::ModuleRadio module(options);
    module.start();
    // The soak would otherwise keep megabytes of one-byte pieces in the traffic log.
    module.traffic().setLimit(4096);

    OpalDeviceControllerC controller;
    ASSERT_EQ(controller.createPort(module.portText().c_str(), RS232SettingsS{}), CFG_OK);
    ASSERT_EQ(controller.openPort(), CFG_OK);
    ASSERT_EQ(controller.switchToCommandMode(), CFG_OK);

    std::mt19937 random(20261208);
    oryx::sim::Faults faults;
    faults.randomChunks = true;
    faults.chunkGap = 1ms;
    SoakC soak(controller, module);
    const long exchanges = Exchanges();
    long wrong = 0;
    const MemoryS start = Memory();
    MemoryS first = start;
    Print(0, start, 0);
    for (long i = 0; i < exchanges; ++i) {
        // Mostly prompt, now and then slow, always well inside the 200 ms of the ping.
        const bool slow = std::uniform_int_distribution<int>(0, 99)(random) == 0;
        faults.extraDelay =
            std::chrono::milliseconds(slow ? std::uniform_int_distribution<int>(20, 120)(random)
                                           : std::uniform_int_distribution<int>(0, 2)(random));
        module.setFaults(faults);
        if (!soak.Exchange(i)) {
            ++wrong;
            ADD_FAILURE() << "exchange " << i << " got a wrong answer";
        }
        if ((i + 1) % kSampleEvery == 0) {
            const MemoryS now = Memory();
            if (i + 1 == kSampleEvery) {
                first = now;
            }
            Print(i + 1, now, wrong);
        }
    }
    const MemoryS end = Memory();
    Print(exchanges, end, wrong);
    EXPECT_EQ(wrong, 0);
    if (exchanges >= 2 * kSampleEvery) {
        EXPECT_LT(end.rssKb - first.rssKb, kFlatGrowthKb) << "the memory grows with the exchanges";
    }
    controller.closePort();
}

} // namespace
