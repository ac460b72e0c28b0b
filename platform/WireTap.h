#pragma once

#include "platform/LineSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace oryx::platform {

// The place every serial device reports what passes over its line, for a wire trace. Nothing
// is reported until a sink is installed; then each report costs a clock reading and the
// sink's call, which must not block (it queues, and a writer elsewhere formats).
//
// The sink's type has only built-in types so that a shared library holding its own copy of
// this code can take the very same function (see ORC::setWireTap).
class WireTap {
public:
    // kind: kWritten or kRead with the bytes, or kControl with a mark's text such as
    // "SET   9600 8N1 flow=none dtr=on rts=on". microseconds: the monotonic clock.
    using Sink = void (*)(const char* portText, char kind, const char* data, std::size_t size,
                          std::int64_t microseconds);
    static constexpr char kWritten = 'T';
    static constexpr char kRead = 'R';
    static constexpr char kControl = 'C';

    static void install(Sink sink);
    static bool active();
    static std::int64_t now();

    static void bytes(const std::string& portText, char kind, const void* data, std::size_t size,
                      std::int64_t at);
    // A mark such as OPEN, CLOSE, SET, DTR, RTS, PURGE or ERROR, with its detail.
    static void control(const std::string& portText, std::string_view tag,
                        const std::string& detail);

    // "9600 8N1 flow=none dtr=on rts=on"
    static std::string describe(const LineSettings& settings);
};

} // namespace oryx::platform
