#include "EventLogReaderC.h"
#include "ModuleCoreFixture.h"
#include "ModuleUnplugCasesS.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <iostream>

// The module vanishes at step k of an operation of the dialog's core (on hearing the k-th line
// or escape the program sends, without answering it), for every k the operation has. Each
// run must end within the time-outs with the failure shown and in the event log, the dialog
// out of command mode with its pages off, and the port free: once the module is back, the
// dialog connects again.
//
// The suite runs the middle step of each operation; ORYX_UNPLUG_MATRIX=full runs them all and
// prints the matrix (tools/unplug-matrix module).
namespace {

using Clock = std::chrono::steady_clock;
using oryx::sim::ModuleRadioOptions;
using OperationT = ModuleUnplugCasesS::OperationT;
constexpr auto NameOf = ModuleUnplugCasesS::NameOf;

// Far above what an operation takes when the module falls silent (a search waits 15 s for
// its inquiry), far below a hang.
constexpr auto kOperationLimit = std::chrono::seconds(60);

class ModuleUnplugTest : public ModuleCoreFixture,
                         public ::testing::WithParamInterface<OperationT> {
protected:
    // A fresh module and dialog, brought to the point where the operation starts.
    void Prepare() {
        search.reset();
        settings.reset();
        dialog.reset();
        module.reset();
        view = {};
        settingsView = {};
        searchView = {};
        ModuleRadioOptions options = ModuleUnplugCasesS::ModuleFor(GetParam());
        StartModule(options);
        std::remove(scratch.file("ORYX_Log.txt").c_str());
        OpenDialog("115200");
        if (GetParam() != OperationT::Connect) {
            dialog->OnConnect();
            ASSERT_TRUE(dialog->commandMode);
        }
        if (GetParam() == OperationT::Pair) {
            search->Search();
            search->OnLineSelected(1);
        }
        settings->localName = "Pump 3";
        settings->deviceRole = BasicSettingsCoreC::kClientRole;
        settings->baudBox.Select(1);
        view.boxes.clear();
        settingsView.boxes.clear();
        searchView.boxes.clear();
    }

    void Act() {
        switch (GetParam()) {
        case OperationT::Connect:
            return dialog->OnConnect();
        case OperationT::Read:
            return settings->Read();
        case OperationT::Write:
            return settings->Write();
        case OperationT::Search:
            return search->Search();
        case OperationT::Pair:
            return search->Pair();
        }
    }

    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes = view.boxes;
        boxes.insert(boxes.end(), settingsView.boxes.begin(), settingsView.boxes.end());
        boxes.insert(boxes.end(), searchView.boxes.begin(), searchView.boxes.end());
        return boxes;
    }

    bool LogNamesAFailure() const {
        const auto lines = EventLogReaderC::Texts(scratch.file("ORYX_Log.txt"));
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& line) { return line.rfind("ERROR", 0) == 0; });
    }

    // The steps the operation takes when nothing goes wrong.
    size_t CountSteps() {
        Prepare();
        const size_t before = module->stepsHeard();
        Act();
        EXPECT_TRUE(Boxes().empty()) << NameOf(GetParam()) << " fails even without an unplug";
        return module->stepsHeard() - before;
    }

    // With the module back, Disconnect (when still shown) and Connect work again.
    bool ConnectsAgain() {
        if (dialog->portOpen) {
            dialog->OnConnect();
        }
        module->replug();
        module->setCommandMode(true);
        dialog->OnConnect();
        return dialog->commandMode;
    }
};

TEST_P(ModuleUnplugTest, EveryStepEndsInAFailureWithThePortFree) {
    const size_t steps = CountSteps();
    ASSERT_GT(steps, 0u);
    const auto [first, last] = ModuleUnplugCasesS::StepsToRun(steps);
    for (size_t step = first; step <= last; ++step) {
        Prepare();
        module->unplugAfterSteps(step);
        const auto start = Clock::now();
        std::future<void> done = std::async(std::launch::async, [this] { Act(); });
        ASSERT_EQ(done.wait_for(kOperationLimit), std::future_status::ready)
            << NameOf(GetParam()) << " hangs after an unplug at step " << step;
        const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const bool unplugged = !module->isPluggedIn();
        const bool shown = !Boxes().empty();
        const bool idle = !dialog->commandMode && !dialog->tabsEnabled && !settings->enabled() &&
                          !search->enabled();
        const bool logged = LogNamesAFailure();
        const std::string status = dialog->status;
        const bool again = ConnectsAgain();
        std::cout << "unplug " << NameOf(GetParam()) << " step " << step << "/" << steps << ": "
                  << (shown ? "failed" : "NO FAILURE SHOWN") << " (" << status << "), " << seconds
                  << " s, dialog " << (idle ? "idle" : "STILL IN COMMAND MODE") << ", log "
                  << (logged ? "names it" : "SILENT") << ", port "
                  << (again ? "free" : "NOT REUSABLE") << (unplugged ? "" : " (never unplugged)")
                  << std::endl;
        EXPECT_TRUE(unplugged) << "step " << step;
        EXPECT_TRUE(shown) << "step " << step;
        EXPECT_TRUE(idle) << "step " << step;
        EXPECT_TRUE(logged) << "step " << step;
        EXPECT_TRUE(again) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, ModuleUnplugTest,
                         ::testing::Values(OperationT::Connect, OperationT::Read, OperationT::Write,
                                           OperationT::Search, OperationT::Pair),
                         [](const auto& info) { return ModuleUnplugCasesS::TestNameOf(info); });

} // namespace
