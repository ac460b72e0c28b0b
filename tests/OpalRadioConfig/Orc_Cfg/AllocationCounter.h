#pragma once

#include <cstdint>

// Counts every allocation through the replaceable global operator new of this test program.
namespace AllocationCounter {
uint64_t count();
}
