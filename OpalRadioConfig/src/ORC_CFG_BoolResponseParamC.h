#pragma once

#include "ORC_CFG_ResponseParamT.h"

namespace ORC::CFG {

// A flag sent as a decimal number: any number but 0 is true.
class BoolResponseParamC : public ResponseParamT<bool> {
public:
    BoolResponseParamC() : ResponseParamT<bool>(false) {}

    void parse(const char* pszText) override;
};

} // namespace ORC::CFG
