#include "ORC_CFG_NumberResponseParamC.h"

#include <cstdlib>

namespace ORC::CFG {

void NumberResponseParamC::parse(const char* pszText) {
    long lValue = 0;
    if (toNumber(pszText, lValue)) {
        setValue(lValue);
    }
}

bool NumberResponseParamC::toNumber(const char* pszText, long& rlValue) {
    if (!isParamText(pszText)) {
        return false;
    }
    // strtol rather than atol: a module number beyond the range of long saturates instead of
    // being undefined.
    rlValue = std::strtol(pszText, nullptr, 10);
    return true;
}

} // namespace ORC::CFG
