#include "moduleui/ModuleBaudCodesC.h"

#include <cstdlib>

namespace {

struct BaudCodeS {
    unsigned long rate;
    int32_t code;
};
constexpr BaudCodeS kBaudCodes[] = {{4800, 4},  {9600, 5},   {19200, 6},
                                    {57600, 8}, {115200, 9}, {921600, 12}};

} // namespace

int32_t ModuleBaudCodesC::BaudRateToCode(unsigned long rate) {
    for (const BaudCodeS& entry : kBaudCodes) {
        if (entry.rate == rate) {
            return entry.code;
        }
    }
    return 0;
}

unsigned long ModuleBaudCodesC::BaudCodeToRate(int32_t code) {
    for (const BaudCodeS& entry : kBaudCodes) {
        if (entry.code == code) {
            return entry.rate;
        }
    }
    return 0;
}

int32_t ModuleBaudCodesC::BaudTextToCode(const std::string& text) {
    return BaudRateToCode(std::strtoul(text.c_str(), nullptr, 10));
}
