#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The module's serial rates and the library's codes for them: the one table every front end
// of the family uses.
class ModuleBaudC {
public:
    // The rates a connect falls back over and the rate boxes offer, in this order.
    static const std::vector<std::string>& ConnectRates();
    // Every rate the module has a code for (also those only a module may report).
    static const std::vector<int>& Rates();
    // 0 for a rate the module has no code for.
    static int32_t ToCode(unsigned long rate);
    // 0 for code 0 or a code not in the table.
    static unsigned long ToRate(int32_t code);
    // The code of a decimal text; a text that is not a number has code 0.
    static int32_t TextToCode(const std::string& text);
};
