#pragma once

#include "ORC_CFG_OpalDeviceRequestC.h"

namespace ORC::CFG {

// Any command text + CR, for a technician's own commands. Whatever arrives is the answer: the
// result is CFG_OK as soon as a byte has come, and the caller wakes at the final "OK". The whole
// collected text, echo included, stays in the buffer.
class TransparentRequestC : public OpalDeviceRequestC {
public:
    static constexpr uint32_t TIMEOUT_MS = 1000;

    explicit TransparentRequestC(const char* pszText);

    void procReadData(const char* pData, uint32_t ulLength) override;
};

} // namespace ORC::CFG
