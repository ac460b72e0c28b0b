#include "ORC_CFG_FactorySettingsRequestC.h"

namespace ORC::CFG {

FactorySettingsRequestC::FactorySettingsRequestC()
    : OpalDeviceRequestC("AT&F", RF_TRANSPARENT, TIMEOUT_MS) {}

void FactorySettingsRequestC::procReadData(const char* pData, uint32_t ulLength) {
    append(pData, ulLength);
    setHandled(find(getTerminator(), false) >= 0);
}

} // namespace ORC::CFG
