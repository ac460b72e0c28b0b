#pragma once

#include "sim/ModuleRadioOptions.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

// What the module unplug matrices of the dialog's core and of oryx-cli share: the operations,
// the module they run against, and which steps a run covers.
struct ModuleUnplugCasesS {
    enum class OperationT { Connect, Read, Write, Search, Pair };

    static const char* NameOf(OperationT operation) {
        static const char* const kNames[] = {"connect+read", "read", "write", "search", "pair"};
        return kNames[static_cast<int>(operation)];
    }

    // The name of a parameterised test: the operation without the "+".
    template <typename Info> static std::string TestNameOf(const Info& info) {
        std::string name = NameOf(info.param);
        name.erase(std::remove(name.begin(), name.end(), '+'), name.end());
        return name;
    }

    // The connect starts at 115200 and finds the module in data mode at 9600; the others find
    // it in command mode at 115200. Both in the client role, with two devices in range.
    static oryx::sim::ModuleRadioOptions ModuleFor(OperationT operation) {
        using namespace std::chrono_literals;
        oryx::sim::ModuleRadioOptions options;
        options.commandMode = operation != OperationT::Connect;
        options.settings.baudCode = operation == OperationT::Connect ? 5 : 9;
        options.settings.clientProfile = 0;
        options.replyDelay = 0ms;
        options.inquiryDelay = 20ms;
        options.nameDelay = 10ms;
        options.devices = {{"00803712AB01", 7978, "Tank 1"}, {"00803712AB02", 7978, "Tank 2"}};
        return options;
    }

    // The first and last step to run of an operation with this many: all of them with
    // ORYX_UNPLUG_MATRIX=full, else the middle one.
    static std::pair<size_t, size_t> StepsToRun(size_t steps) {
        const char* mode = std::getenv("ORYX_UNPLUG_MATRIX");
        if (mode != nullptr && std::string(mode) == "full") {
            return {1, steps};
        }
        return {(steps + 1) / 2, (steps + 1) / 2};
    }
};
