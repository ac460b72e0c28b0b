// oryx-cli module, run as the real program, with the simulated module vanishing at step k of
// each operation (on hearing the k-th line or escape, without answering it), for every k the
// operation has. Each run must end within the time-outs with a failure status that the event
// log names, and leave the port free: once the module is back, the next run succeeds. Only
// the way back to data mode may be lost without a failure, once the result is complete.
//
// The suite runs the middle step of each operation; ORYX_UNPLUG_MATRIX=full runs them all and
// prints the matrix (tools/unplug-matrix module).
#include "CliProcessC.h"
#include "ModuleUnplugCasesS.h"
#include "ScratchDirC.h"
#include "sim/ModuleRadio.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using OperationT = ModuleUnplugCasesS::OperationT;
constexpr auto NameOf = ModuleUnplugCasesS::NameOf;

// Far above what a run takes when the module falls silent (a search waits 15 s for its
// inquiry), far below a hang.
constexpr auto kRunLimit = 90s;

std::vector<std::string> ArgumentsOf(OperationT operation) {
    switch (operation) {
    case OperationT::Write:
        return {"write", "--name", "Pump 3", "--role", "client", "--module-baud", "9600"};
    case OperationT::Search:
        return {"search"};
    case OperationT::Pair:
        return {"pair", "--address", "00803712AB02"};
    default:
        return {"read"};
    }
}

// The steps of a run as the module heard them: each ends with CR or with an escape's third
// slash, as the simulator counts them.
std::vector<std::string> StepsIn(const std::string& written) {
    std::vector<std::string> steps(1);
    int slashes = 0;
    for (char c : written) {
        steps.back() += c;
        slashes = c == '/' ? slashes + 1 : 0;
        if (c == '\r' || slashes == 3) {
            slashes = 0;
            steps.emplace_back();
        }
    }
    steps.pop_back();
    return steps;
}

class CliModuleUnplugTest : public ::testing::TestWithParam<OperationT> {
protected:
    // A fresh module for the operation.
    void StartModule() {
        static int count = 0;
        ModuleRadioOptions options = ModuleUnplugCasesS::ModuleFor(GetParam());
        options.linkName =
            "cli-unplug-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
        module_.reset();
        module_ = std::make_unique<ModuleRadio>(options);
        module_->start();
    }

    int RunCli(const std::vector<std::string>& operation) {
        std::vector<std::string> args = {"module"};
        args.insert(args.end(), operation.begin(), operation.end());
        args.insert(args.end(),
                    {"--port", module_->portText(), "--json", "--event-log", LogPath()});
        CliProcessC cli(ORYX_CLI_PATH, args);
        const int status = cli.Wait(kRunLimit);
        lastErr_ = cli.err();
        return status;
    }

    std::string LogPath() const { return scratch_.file("ORYX_Log.txt"); }

    bool LogNamesAFailure() const {
        std::ifstream in(LogPath());
        std::string line;
        while (std::getline(in, line)) {
            if (line.find("ERROR") != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    // The steps of a run without an unplug, and the number (from 1) of the first of those that
    // only lead the module back to data mode (the ping before AT*ADDM) or reset it.
    std::pair<size_t, size_t> CountSteps() {
        StartModule();
        const int status = RunCli(ArgumentsOf(GetParam()));
        EXPECT_EQ(status, 0) << NameOf(GetParam()) << " fails even without an unplug";
        // The module hears the last command a moment after the program has ended.
        module_->traffic().waitForWritten(GetParam() == OperationT::Write ? "AT*AMWS" : "AT*ADDM",
                                          3000ms);
        const std::vector<std::string> steps = StepsIn(module_->traffic().written());
        const auto leave = std::find_if(steps.begin(), steps.end(), [](const std::string& step) {
            return step.find("AT*ADDM") != std::string::npos ||
                   step.find("AT*AMWS") != std::string::npos;
        });
        // The ping's index from 0 is one below the command's, its number from 1 the same.
        const size_t leaveStep = static_cast<size_t>(leave - steps.begin());
        return {steps.size(), leave == steps.end() ? steps.size() + 1 : leaveStep};
    }

    ScratchDirC scratch_;
    std::unique_ptr<ModuleRadio> module_;
    std::string lastErr_;
};

TEST_P(CliModuleUnplugTest, EveryStepEndsInAFailureWithThePortFree) {
    const auto [steps, leaveStep] = CountSteps();
    ASSERT_GT(steps, 0u);
    const auto [first, last] = ModuleUnplugCasesS::StepsToRun(steps);
    for (size_t step = first; step <= last; ++step) {
        StartModule();
        std::remove(LogPath().c_str());
        module_->unplugAfterSteps(step);
        const auto start = Clock::now();
        const int status = RunCli(ArgumentsOf(GetParam()));
        const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const bool logged = LogNamesAFailure();
        const bool unplugged = !module_->isPluggedIn();
        module_->replug();
        module_->setCommandMode(true);
        const int againStatus = RunCli({"read"});
        const bool again = againStatus == 0;
        const bool leaving = step >= leaveStep;
        std::cout << "unplug " << NameOf(GetParam()) << " step " << step << "/" << steps
                  << ": exit " << status << ", " << seconds << " s, log "
                  << (logged ? "names it" : "SILENT") << ", port "
                  << (again ? "free"
                            : "NOT REUSABLE, exit " + std::to_string(againStatus) + ": " + lastErr_)
                  << (leaving ? " (leaving)" : "") << (unplugged ? "" : " (never unplugged)")
                  << std::endl;
        ASSERT_NE(status, -1) << NameOf(GetParam()) << " hangs or crashes at step " << step;
        EXPECT_TRUE(unplugged) << "step " << step;
        EXPECT_TRUE(again) << "step " << step;
        if (!leaving) {
            EXPECT_NE(status, 0) << "step " << step;
            EXPECT_TRUE(logged) << "step " << step;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, CliModuleUnplugTest,
                         ::testing::Values(OperationT::Connect, OperationT::Read, OperationT::Write,
                                           OperationT::Search, OperationT::Pair),
                         [](const auto& info) { return ModuleUnplugCasesS::TestNameOf(info); });

} // namespace
