#pragma once

#include "cli/ModemOptionsS.h"
#include "cli/ModuleOptionsS.h"
#include "cli/ParallelRunC.h"

#include <functional>
#include <string>
#include <vector>

// What each port of a run over several does: the command a single port runs, on that port,
// with the event log of its own, its result taken as the object it prints with --json.
// Questions are not asked (no radio could be told which answer is its own); a run that asks
// one gets no answer, as from an empty standard input.
class PortRunC {
public:
    static ParallelRunC::PortRunT Modem(const ModemOptionsS& options,
                                        const std::vector<std::string>& ports,
                                        std::function<bool()> cancelRequested);
    static ParallelRunC::PortRunT Module(const ModuleOptionsS& options,
                                         const std::vector<std::string>& ports,
                                         std::function<bool()> cancelRequested);
};
