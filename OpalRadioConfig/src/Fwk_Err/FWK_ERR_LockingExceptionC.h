#pragma once

#include "Fwk_Err/FWK_ERR_SysServiceErrorC.h"

namespace ERR {

// A lock or wait object could not be created. The only exception the library throws.
class LockingExceptionC : public SysServiceErrorC {
public:
    static constexpr int32_t LOCK_CREATION_FAILED = 0x3101001;

    explicit LockingExceptionC(int32_t lCode = LOCK_CREATION_FAILED, const char* pszText = nullptr)
        : SysServiceErrorC(lCode, pszText) {}
};

} // namespace ERR
