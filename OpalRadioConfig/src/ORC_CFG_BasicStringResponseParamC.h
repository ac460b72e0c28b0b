#pragma once

#include "ORC_CFG_ResponseParamT.h"

#include <string>

namespace ORC::CFG {

// A text, quoted or not. One enclosing pair of double quotes is removed; quotes inside are kept.
// The processor cuts this kind of parameter quote-aware, so a comma inside the quotes does not
// end it.
class BasicStringResponseParamC : public ResponseParamT<std::string> {
public:
    BasicStringResponseParamC() = default;

    void parse(const char* pszText) override;
};

} // namespace ORC::CFG
