#pragma once

#include "cli/ExitStatusT.h"
#include "cli/ModemReportC.h"
#include "cli/ModuleOptionsS.h"
#include "cli/ModuleProfileC.h"
#include "cli/TerminalModemViewC.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

class EventLogFileC;

namespace ORC::CFG {
class OpalDeviceControllerC;
struct DevNameAddressPairT;
} // namespace ORC::CFG

// One `oryx-cli module` run over the library's controller: checks, the port's open test,
// connecting with the fallback over the rates, the operation, and leaving command mode.
//
// The controller's calls block for seconds (the escape's guard times, a 15 s inquiry), so the
// run goes on a thread of its own and Ctrl-C is watched beside it: the run stops at its next
// step, and a run still blocked shortly after that is abandoned, as a closed port is all the
// module needs.
class ModuleCommandC {
public:
    struct StreamsS {
        std::ostream& out;
        std::ostream& err;
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
    using ControllerT = ORC::CFG::OpalDeviceControllerC;
    using DevicesT = std::vector<ORC::CFG::DevNameAddressPairT>;

    // The checks that need no module (for apply, of the whole profile); empty when the
    // options are fine.
    std::string UsageFailure();
    void Execute(EventLogFileC& log, ModemReportC& report);
    ExitStatusT WaitForRun(std::function<void()> run);

    bool Connect(ControllerT& controller, EventLogFileC& log, ModemReportC& report);
    bool TryConnect(ControllerT& controller, EventLogFileC& log, const std::string& baud);
    void Leave(ControllerT& controller, EventLogFileC& log);

    void Read(ControllerT& controller, ModemReportC& report);
    // What the settings page shows; false when the module did not tell all of it.
    bool ReadSettings(ControllerT& controller, ModuleProfileC& settings, std::string& address);
    void Write(ControllerT& controller, ModemReportC& report, const ModuleOptionsS& wanted);
    void Apply(ControllerT& controller, ModemReportC& report);
    void Search(ControllerT& controller, ModemReportC& report);
    void Pair(ControllerT& controller, ModemReportC& report);
    void Paired(ControllerT& controller, ModemReportC& report);
    void Version(ControllerT& controller, ModemReportC& report);
    // The devices of a search in the client role; false (and the report says why) otherwise.
    bool FindDevices(ControllerT& controller, ModemReportC& report, DevicesT& devices);
    int32_t WriteRoleAndName(ControllerT& controller, const ModuleOptionsS& wanted);

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
