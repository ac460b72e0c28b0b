#include "module/ModuleBaudC.h"

#include "ORC_CFG_Types.h"

#include <cstdlib>

using namespace ORC::CFG;

namespace {

struct BaudCodeS {
    int rate;
    int32_t code;
};
constexpr BaudCodeS kBaudCodes[] = {{4800, BAUD_4800},     {9600, BAUD_9600},
                                    {19200, BAUD_19200},   {57600, BAUD_57600},
                                    {115200, BAUD_115200}, {921600, BAUD_921600}};

} // namespace

const std::vector<std::string>& ModuleBaudC::ConnectRates() {
    static const std::vector<std::string> rates = {"4800", "9600", "19200", "57600", "115200"};
    return rates;
}

const std::vector<int>& ModuleBaudC::Rates() {
    static const std::vector<int> rates = [] {
        std::vector<int> all;
        for (const BaudCodeS& entry : kBaudCodes) {
            all.push_back(entry.rate);
        }
        return all;
    }();
    return rates;
}

int32_t ModuleBaudC::ToCode(unsigned long rate) {
    for (const BaudCodeS& entry : kBaudCodes) {
        if (static_cast<unsigned long>(entry.rate) == rate) {
            return entry.code;
        }
    }
    return 0;
}

unsigned long ModuleBaudC::ToRate(int32_t code) {
    for (const BaudCodeS& entry : kBaudCodes) {
        if (entry.code == code) {
            return static_cast<unsigned long>(entry.rate);
        }
    }
    return 0;
}

int32_t ModuleBaudC::TextToCode(const std::string& text) {
    return ToCode(std::strtoul(text.c_str(), nullptr, 10));
}
