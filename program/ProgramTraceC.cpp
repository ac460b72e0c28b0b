#include "program/ProgramTraceC.h"

#include "platform/WireTraceHub.h"

#include <cstdlib>
#include <iostream>
#include <string>

#ifdef ORYX_HAVE_MODULE_UI
#include "ORC_WireTap.h"
#endif

namespace {
// The hub's name for every port.
const std::string kEveryPort;
} // namespace

ProgramTraceC::ProgramTraceC() {
    const char* file = std::getenv(kVariable);
    if (file == nullptr || *file == '\0') {
        return;
    }
    std::string problem;
    file_ = oryx::platform::WireTraceFile::create(file, problem);
    if (!file_) {
        std::cerr << "Warning: " << problem << "; ORYX Config runs without a trace." << std::endl;
        return;
    }
    oryx::platform::WireTraceHub::attach(kEveryPort, file_);
#ifdef ORYX_HAVE_MODULE_UI
    ORC::setWireTap(&oryx::platform::WireTraceHub::take);
#endif
}

ProgramTraceC::~ProgramTraceC() {
    if (!file_) {
        return;
    }
    oryx::platform::WireTraceHub::detach(kEveryPort);
    if (const std::string problem = file_->finish(); !problem.empty()) {
        std::cerr << "Warning: " << problem << "; the trace is incomplete." << std::endl;
    }
}
