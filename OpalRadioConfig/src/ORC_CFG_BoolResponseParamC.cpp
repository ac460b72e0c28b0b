#include "ORC_CFG_BoolResponseParamC.h"

#include "ORC_CFG_NumberResponseParamC.h"

namespace ORC::CFG {

void BoolResponseParamC::parse(const char* pszText) {
    long lValue = 0;
    if (NumberResponseParamC::toNumber(pszText, lValue)) {
        setValue(lValue != 0);
    }
}

} // namespace ORC::CFG
