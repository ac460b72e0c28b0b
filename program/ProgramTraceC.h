#pragma once

#include <memory>

namespace oryx::platform {
class WireTraceFile;
}

// The program's wire trace: when the environment names a file in ORYX_TRACE, every port the
// program opens, through its own serial code or the library's, is traced into it
// (docs/trace.md) until the object goes. The command line stays the program's own ("/Service").
class ProgramTraceC {
public:
    static constexpr const char* kVariable = "ORYX_TRACE";

    ProgramTraceC();
    ~ProgramTraceC();
    ProgramTraceC(const ProgramTraceC&) = delete;
    ProgramTraceC& operator=(const ProgramTraceC&) = delete;

private:
    std::shared_ptr<oryx::platform::WireTraceFile> file_;
};
