#pragma once

#include "ORC_Export.h"

#include <cstddef>
#include <cstdint>

namespace ORC {

// Receives everything that passes the library's serial ports, for a wire trace: kind 'T' for
// bytes written, 'R' for bytes read, 'C' for a mark (open, close, line settings, DTR/RTS,
// purge, error) whose text is in data. microseconds are read from the monotonic clock. It is
// called on the caller's and on the reader thread and must return at once.
using WireTapT = void (*)(const char* portText, char kind, const char* data, std::size_t size,
                          std::int64_t microseconds);

// Installs the tap for every port the library opens from now on (nullptr removes it).
ORC_EXPORT void setWireTap(WireTapT tap);

} // namespace ORC
