#pragma once

#include "platform/SerialError.h"

#include <cstddef>
#include <cstdint>

namespace oryx::platform {

// Line error bits, numbered as the radio tools have always logged them.
namespace LineError {
constexpr std::uint32_t kReceiveOverflow = 0x01;
constexpr std::uint32_t kOverrun = 0x02;
constexpr std::uint32_t kParity = 0x04;
constexpr std::uint32_t kFraming = 0x08;
constexpr std::uint32_t kBreak = 0x10;
} // namespace LineError

// Bytes waiting in either direction and the line errors since the previous query.
struct QueueStatus {
    std::size_t inQueue = 0;
    std::size_t outQueue = 0;
    std::uint32_t errors = 0;
    SerialError error;
};

} // namespace oryx::platform
