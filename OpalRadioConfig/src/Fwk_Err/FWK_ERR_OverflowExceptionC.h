#pragma once

#include "Fwk_Err/FWK_ERR_ErrorBaseC.h"

namespace ERR {

// A serialisation archive has no room for an item, or no item where one was expected.
class OverflowExceptionC : public ErrorBaseC {
public:
    static constexpr int32_t ARCHIVE_OVERFLOW = 0x3102001;

    explicit OverflowExceptionC(const char* pszText = nullptr)
        : ErrorBaseC(ARCHIVE_OVERFLOW, pszText) {}
};

} // namespace ERR
