#pragma once

#include "Fwk_Err/FWK_ERR_ErrorBaseC.h"

namespace ERR {

// An operating-system service failed; exists so that callers can catch by kind.
class SysServiceErrorC : public ErrorBaseC {
public:
    SysServiceErrorC(int32_t lCode, const char* pszText) : ErrorBaseC(lCode, pszText) {}
};

} // namespace ERR
