// Feeds the debug configuration parser one line of arbitrary bytes, cut the way the file
// reader cuts it (at the first line feed, at most one line buffer), and checks the rule it
// makes of it.

#include "FWK_DBG_DbgLevel.h"
#include "FuzzChecks.h"
#include "Fwk_Dbg/FWK_DBG_DbgConfigParserC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"

#include <algorithm>
#include <cstring>
#include <string>

using FWK::DBG::DbgConfigParserC;

namespace {

bool HasLineBreakOrBlank(const std::string& text) {
    return text.find_first_of(" \t\r\n", 0, 4) != std::string::npos ||
           text.find('\0') != std::string::npos;
}

bool IsKnownLevel(int32_t level) {
    using namespace FWK::DBG;
    for (const int32_t known : std::initializer_list<int32_t>{
             DBG_FATAL, DBG_ERROR, DBG_WARN, DBG_INFO, DBG_FINEST, DBG_FINER, DBG_FINE, DBG_ALL}) {
        if (level == known) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char line[DbgConfigParserC::LINE_BUFFER_LEN];
    const auto* end = std::find(data, data + size, '\n');
    size_t length = static_cast<size_t>(end - data) + (end != data + size ? 1 : 0);
    length = std::min(length, sizeof line - 1);
    std::memcpy(line, data, length);
    line[length] = '\0';

    const auto rule = DbgConfigParserC::parseLine(line);
    if (!rule) {
        return 0;
    }
    FuzzCheck(std::strncmp(line, "LOG", 3) == 0, "a rule from a line without the keyword");
    FuzzCheck(!rule->strKey.empty() && !HasLineBreakOrBlank(rule->strKey), "a malformed key");
    FuzzCheck(rule->strConsumer.find('\0') == std::string::npos, "a consumer with a zero byte");
    FuzzCheck(rule->strKey.size() + rule->strConsumer.size() < sizeof line,
              "a rule beyond its line");
    FuzzCheck(IsKnownLevel(rule->lLevel), "an unknown level");
    FuzzCheck(rule->lHeaderType == FWK::DBG::HEADER_NONE ||
                  rule->lHeaderType == FWK::DBG::HEADER_FULL ||
                  rule->lHeaderType == FWK::DBG::HEADER_MILLISECONDS,
              "an unknown header type");
    FuzzCheck(rule->lFirstNumber >= 0 && rule->lSecondNumber >= 0, "a negative count");
    return 0;
}
