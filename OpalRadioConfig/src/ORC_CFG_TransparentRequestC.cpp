#include "ORC_CFG_TransparentRequestC.h"

#include "ORC_CFG_Types.h"

namespace ORC::CFG {

TransparentRequestC::TransparentRequestC(const char* pszText)
    : OpalDeviceRequestC(pszText, RF_TRANSPARENT, TIMEOUT_MS) {}

void TransparentRequestC::procReadData(const char* pData, uint32_t ulLength) {
    m_lResult = CFG_OK;
    append(pData, ulLength);
    setHandled(find(getTerminator(), false) >= 0);
}

} // namespace ORC::CFG
