#pragma once

#include <cstdint>
#include <string>

// The module's codes for the serial rates the dialogs offer or may read back.
class ModuleBaudCodesC {
public:
    // 0 for a rate the module has no code for.
    static int32_t BaudRateToCode(unsigned long rate);
    // 0 for code 0 or a code not in the table.
    static unsigned long BaudCodeToRate(int32_t code);
    // The code of a decimal text; a text that is not a number has code 0.
    static int32_t BaudTextToCode(const std::string& text);
};
