#pragma once

#include "cli/ExitStatusT.h"
#include "cli/ModemOptionsS.h"
#include "cli/ModemProfileC.h"
#include "cli/ModemReportC.h"
#include "modem/ModemModelsC.h"

#include <functional>
#include <iosfwd>

class ModemDialogCoreC;

// One `oryx-cli modem` run: connects the way the Connect button does, then reads, writes or
// restores the defaults through the same dialog core, and always lets go of the radio.
class ModemCommandC {
public:
    struct StreamsS {
        std::istream& in;
        std::ostream& out;
        std::ostream& err;
        bool inIsTerminal;
    };

    ModemCommandC(const ModemOptionsS& options, std::function<bool()> cancelRequested,
                  StreamsS streams);

    ExitStatusT Run();

private:
    // Each step records a failure in the report; the report's status is the run's outcome.
    void Execute(ModemDialogCoreC& core, ModemReportC& report);
    bool Connect(ModemDialogCoreC& core, ModemReportC& report);
    void Read(ModemDialogCoreC& core, ModemReportC& report);
    void Write(ModemDialogCoreC& core, ModemReportC& report);
    void Defaults(ModemDialogCoreC& core, ModemReportC& report);
    void Apply(ModemDialogCoreC& core, ModemReportC& report);
    void ReadBack(ModemDialogCoreC& core, ModemReportC& report, const std::string& saveError);
    void SaveProfile(const ModemDialogCoreC& core, ModemReportC& report) const;
    // The profile of apply, checked; empty when it may be written.
    std::string LoadProfile();

    // Why the change given on the command line does not fit the model that answered.
    std::string ChangeMisfitText(ModemMisfitT misfit, int model) const;
    void ReportSettings(const ModemDialogCoreC& core, ModemReportC& report) const;
    static void LetGo(ModemDialogCoreC& core);

    const ModemOptionsS& options_;
    std::function<bool()> cancelRequested_;
    StreamsS streams_;
    ModemProfileC profile_;
};
