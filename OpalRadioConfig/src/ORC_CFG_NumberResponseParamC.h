#pragma once

#include "ORC_CFG_ResponseParamT.h"

namespace ORC::CFG {

// A decimal number. Leading white space is skipped and the conversion stops at the first
// character that cannot continue the number; a text without digits gives 0.
class NumberResponseParamC : public ResponseParamT<long> {
public:
    NumberResponseParamC() : ResponseParamT<long>(-1) {}

    void parse(const char* pszText) override;

    // False, leaving the value alone, for a text that is no parameter text.
    static bool toNumber(const char* pszText, long& rlValue);
};

} // namespace ORC::CFG
