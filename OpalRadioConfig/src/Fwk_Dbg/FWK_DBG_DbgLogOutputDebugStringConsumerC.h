#pragma once

#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"

namespace FWK::DBG {

// The debugger's output channel; on this platform that is standard error. A record goes through
// the same UTF-16 buffer of 1024 units as on the original platform, so a longer one is cut.
class DbgLogOutputDebugStringConsumerC : public DbgLogConsumerC {
public:
    static constexpr uint16_t WIDE_BUFFER_LEN = 1024;

    explicit DbgLogOutputDebugStringConsumerC(int32_t lHeaderType) : DbgLogConsumerC(lHeaderType) {}

    void logWrite(const char* pszRecord) override;
    const char* name() const override { return "OutputDebugString"; }
};

} // namespace FWK::DBG
