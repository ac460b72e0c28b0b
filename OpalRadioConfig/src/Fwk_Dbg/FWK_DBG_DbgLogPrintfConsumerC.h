#pragma once

#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"

namespace FWK::DBG {

// Prints every record verbatim to standard output.
class DbgLogPrintfConsumerC : public DbgLogConsumerC {
public:
    explicit DbgLogPrintfConsumerC(int32_t lHeaderType) : DbgLogConsumerC(lHeaderType) {}

    void logWrite(const char* pszRecord) override;
    const char* name() const override { return "printf"; }
};

} // namespace FWK::DBG
