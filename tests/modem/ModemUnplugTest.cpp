#include "ModemCoreFixture.h"

#include <chrono>
#include <cstdlib>
#include <future>
#include <iostream>

// The radio's cable is pulled at step k of an operation (on the radio hearing the program's
// k-th command line, before it answers), for every k the operation has. Each run must end with an
// error within the link's time-outs, leave the port closed and the dialog disconnected, and name
// the failure in the event log; a save reports success only when its store command reached the
// radio.
//
// The suite runs one step per operation; ORYX_UNPLUG_MATRIX=full runs them all and prints the
// matrix (tools/unplug-matrix).
namespace {

using Clock = std::chrono::steady_clock;
using oryx::sim::ModemRadioOptions;

// Far above what any operation takes when the radio falls silent, far below a hang.
constexpr auto kOperationLimit = std::chrono::seconds(20);

enum class OperationT { Connect, Save, Defaults };

const char* NameOf(OperationT operation) {
    switch (operation) {
    case OperationT::Connect:
        return "connect+read";
    case OperationT::Save:
        return "save";
    default:
        return "defaults";
    }
}

const char* NameOf(ModemOutcomeT outcome) {
    static const char* const kNames[] = {"Ok", "Cancelled", "Declined", "PortUnavailable",
                                         "RadioFailed"};
    return kNames[static_cast<int>(outcome)];
}

bool FullMatrix() {
    const char* mode = std::getenv("ORYX_UNPLUG_MATRIX");
    return mode != nullptr && std::string(mode) == "full";
}

class ModemUnplugTest : public ModemCoreFixture, public ::testing::WithParamInterface<OperationT> {
protected:
    void SetUp() override {
        ModemRadioOptions options;
        options.model = 2410;
        options.baud = 19200;
        StartRadio(options);
        OpenDialog("19200");
        if (GetParam() != OperationT::Connect) {
            core->OnConnectButton();
            ASSERT_TRUE(fields().connected);
            ClearTraffic();
            fields().linkBox.Select(7);
        }
        view.boxes.clear();
    }

    ModemOutcomeT Run() {
        switch (GetParam()) {
        case OperationT::Connect:
            return core->OnConnectButton();
        case OperationT::Save:
            return core->OnSave();
        default:
            view.answers = {ModemViewI::AnswerT::Yes};
            return core->OnDefault();
        }
    }

    // The cable comes out once the program has sent `step` lines, on hearing the last of
    // them and before answering it; at step 0 before anything. Armed in the simulator, so a
    // slow test thread cannot let the operation run past the step.
    void UnplugAtStep(size_t step) {
        if (step == 0) {
            radio->unplug();
        } else {
            radio->host().unplugAfterSteps(step);
        }
    }
};

// How many lines the operation writes when nothing goes wrong.
size_t StepsOf(OperationT operation) {
    switch (operation) {
    case OperationT::Connect:
        return 4; // ":wit2400" and the three queries of a read
    case OperationT::Save:
        return 9;
    default:
        return 11;
    }
}

TEST_P(ModemUnplugTest, EveryStepEndsInAnErrorWithThePortClosed) {
    const size_t steps = StepsOf(GetParam());
    const size_t first = FullMatrix() ? 0 : steps / 2;
    const size_t last = FullMatrix() ? steps - 1 : steps / 2;
    for (size_t step = first; step <= last; ++step) {
        if (step != first) {
            TearDown();
            radio.reset();
            core.reset();
            log.reset();
            view = ScriptedModemViewC{};
            SetUp();
        }
        UnplugAtStep(step);
        const auto start = Clock::now();
        std::future<ModemOutcomeT> outcome =
            std::async(std::launch::async, [this] { return Run(); });
        ASSERT_EQ(outcome.wait_for(kOperationLimit), std::future_status::ready)
            << NameOf(GetParam()) << " hangs after an unplug at step " << step;
        const ModemOutcomeT result = outcome.get();
        const bool unplugged = !radio->host().pluggedIn();
        const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const bool closed = !core->session().link().HandleValid();
        const std::vector<std::string> lines = logDir.texts();
        const bool logged = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("ERROR", 0) == 0;
        });
        std::cout << "unplug " << NameOf(GetParam()) << " step " << step << ": outcome "
                  << NameOf(result) << ", " << seconds << " s, port "
                  << (closed ? "closed" : "OPEN") << ", log " << (logged ? "names it" : "SILENT")
                  << (unplugged ? "" : " (ended before the step)") << std::endl;
        // Once "m>" has reached the radio the settings are stored; only the way back to data
        // mode is lost.
        const bool stored = GetParam() == OperationT::Save && step == steps - 1;
        EXPECT_TRUE(stored || result != ModemOutcomeT::Ok) << "step " << step;
        EXPECT_TRUE(closed) << "step " << step;
        EXPECT_FALSE(fields().connected) << "step " << step << ": the dialog is not back at rest";
        EXPECT_TRUE(logged) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, ModemUnplugTest,
                         ::testing::Values(OperationT::Connect, OperationT::Save,
                                           OperationT::Defaults),
                         [](const auto& info) {
                             return std::string(info.param == OperationT::Connect ? "Connect"
                                                : info.param == OperationT::Save  ? "Save"
                                                                                  : "Defaults");
                         });

} // namespace
