#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace oryx::platform {
class WireTraceFile;
}

// The wire trace of one command's port (docs/trace.md) while the command runs: every byte
// both ways and every change of the line, from this program's serial code and, once the tap is
// installed there too, from the library's. A file that cannot be written is a warning; the run
// goes on without a trace.
class WireTraceScopeC {
public:
    static const char* const kOptionHelp;

    // An empty file name traces nothing.
    WireTraceScopeC(const std::string& file, const std::string& port, std::ostream& err);
    ~WireTraceScopeC();
    WireTraceScopeC(const WireTraceScopeC&) = delete;
    WireTraceScopeC& operator=(const WireTraceScopeC&) = delete;

    bool Active() const { return file_ != nullptr; }
    // Writes out everything so far and ends the trace, for a run that ends without unwinding.
    void Finish();

private:
    std::shared_ptr<oryx::platform::WireTraceFile> file_;
    std::string port_;
    std::ostream& err_;
};
