#pragma once

#include <cstdint>
#include <vector>

// The module's own baud rates and the library's codes for them.
class ModuleBaudC {
public:
    static const std::vector<int>& Rates();
    // 0 for a rate the module does not have.
    static int32_t ToCode(unsigned long rate);
    // 0 for a code that names no rate.
    static unsigned long ToRate(int32_t code);
};
