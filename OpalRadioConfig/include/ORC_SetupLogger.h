#pragma once

#include "ORC_Export.h"

namespace ORC {

// Switches on the library's diagnostics with the rules of a debug configuration file
// ("debug.def"). Rules of later calls add to those already loaded. Returns 0, or 0x200001a
// when the file cannot be read (then nothing changes).
ORC_EXPORT long setupLogger(const char* pszFileName);

} // namespace ORC
