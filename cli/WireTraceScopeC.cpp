#include "cli/WireTraceScopeC.h"

#include "platform/WireTraceHub.h"

const char* const WireTraceScopeC::kOptionHelp =
    "Write every byte sent and received, with times in microseconds and every change of the "
    "line settings, to this file (docs/trace.md has the format); a file that cannot be written "
    "is a warning. On several ports each keeps its own, named as the event logs are";

WireTraceScopeC::WireTraceScopeC(const std::string& file, const std::string& port,
                                 std::ostream& err)
    : port_(port), err_(err) {
    if (file.empty()) {
        return;
    }
    std::string problem;
    file_ = oryx::platform::WireTraceFile::create(file, problem);
    if (!file_) {
        err_ << "Warning: " << problem << "; the run goes on without a trace." << std::endl;
        return;
    }
    oryx::platform::WireTraceHub::attach(port_, file_);
}

WireTraceScopeC::~WireTraceScopeC() {
    Finish();
}

void WireTraceScopeC::Finish() {
    if (!file_) {
        return;
    }
    oryx::platform::WireTraceHub::detach(port_);
    if (const std::string problem = file_->finish(); !problem.empty()) {
        err_ << "Warning: " << problem << "; the trace is incomplete." << std::endl;
    }
    file_.reset();
}
