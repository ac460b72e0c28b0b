#pragma once

#include "cli/ExitStatusT.h"
#include "cli/ModemReportC.h"
#include "cli/ModuleOptionsS.h"
#include "cli/ModuleProfileC.h"
#include "cli/TerminalModemViewC.h"
#include "module/ModuleConnectWatchI.h"
#include "module/ModuleCoreC.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

class EventLogFileC;

// One `oryx-cli module` run: the options, the port's open test, the module family's core
// operations in the order the command asks for them, and the output and exit status.
//
// The controller's calls block for seconds (the escape's guard times, a 15 s inquiry), so the
// run goes on a thread of its own and Ctrl-C is watched beside it: the run stops at its next
// step, and a run still blocked shortly after that is abandoned, as a closed port is all the
// module needs.
class ModuleCommandC : private ModuleConnectWatchI {
public:
    struct StreamsS {
        std::ostream& out;
        std::ostream& err;
        // Before a failure message on err; a run among several has its port there instead.
        const char* errPrefix = "oryx-cli: ";
    };

    ModuleCommandC(const ModuleOptionsS& options, std::function<bool()> cancelRequested,
                   StreamsS streams);

    ExitStatusT Run();

    // A run that Ctrl-C could not stop in time is still blocked in the library, using this
    // command, so Run must not return. The handler is called first (a run among several parks
    // its thread there); when it returns, the cancelled report is printed and the program
    // ends.
    void SetAbandonHandler(std::function<void()> handler) { abandon_ = std::move(handler); }

private:
    using DevicesT = std::vector<ModuleCoreC::DeviceT>;

    // The checks that need no module (for apply, of the whole profile); empty when the
    // options are fine.
    std::string UsageFailure();
    void Execute(EventLogFileC& log, ModemReportC& report);
    ExitStatusT WaitForRun(std::function<void()> run);

    bool Connect(ModuleCoreC& module, ModemReportC& report);
    bool StopRequested() override;
    void AttemptFailed(const std::string& text) override;
    void Leave(ModuleCoreC& module, EventLogFileC& log);

    void Read(ModuleCoreC& module, ModemReportC& report);
    // What the settings page shows; false (and the report says why) when the module did not
    // tell all of it.
    bool ReadSettings(ModuleCoreC& module, ModemReportC& report, ModuleProfileC& settings,
                      std::string& address);
    void Write(ModuleCoreC& module, ModemReportC& report, const ModuleOptionsS& wanted);
    void Apply(ModuleCoreC& module, ModemReportC& report);
    void Search(ModuleCoreC& module, ModemReportC& report);
    void Pair(ModuleCoreC& module, ModemReportC& report);
    void Paired(ModuleCoreC& module, ModemReportC& report);
    void Version(ModuleCoreC& module, ModemReportC& report);
    // The devices of a search in the client role; false (and the report says why) otherwise.
    bool FindDevices(ModuleCoreC& module, ModemReportC& report, DevicesT& devices);
    // False (and the report says why) when the operation did not succeed.
    bool Succeeded(ModemReportC& report, const ModuleResultS& result);

    bool StopRequested(ModemReportC& report);
    void Status(const std::string& text);
    void Fail(ModemReportC& report, ExitStatusT status, const std::string& text,
              const std::string& messageBox = {});
    void Print(const ModemReportC& report) const;

    const ModuleOptionsS& options_;
    std::function<bool()> cancelRequested_;
    StreamsS streams_;
    std::function<void()> abandon_;

    std::atomic<bool> stop_{false};
    std::mutex errLock_;
    // Where failures are written besides the report; none before the log is open.
    EventLogFileC* log_ = nullptr;
    std::vector<TerminalModemViewC::MessageS> messages_;
    std::string pcBaud_;
    bool resetOnLeave_ = false;
    ModuleProfileC profile_;
};
