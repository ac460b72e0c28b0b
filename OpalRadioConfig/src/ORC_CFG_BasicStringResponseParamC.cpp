#include "ORC_CFG_BasicStringResponseParamC.h"

namespace ORC::CFG {

void BasicStringResponseParamC::parse(const char* pszText) {
    if (!isParamText(pszText)) {
        return;
    }
    std::string_view text(pszText);
    if (!text.empty() && text.front() == '"') {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.back() == '"') {
        text.remove_suffix(1);
    }
    setValue(std::string(text));
}

} // namespace ORC::CFG
