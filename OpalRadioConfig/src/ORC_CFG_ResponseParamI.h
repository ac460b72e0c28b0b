#pragma once

#include <cstddef>
#include <cstring>

namespace ORC::CFG {

// One parameter of a module answer. The processor hands each parameter, in the order of the
// answer, the text cut out for it. This base ignores its text, so a plain ResponseParamI in a
// request's list skips one parameter of the answer.
class ResponseParamI {
public:
    virtual ~ResponseParamI() = default;
    virtual void parse(const char* /*pszText*/) {}

protected:
    // No parameter cut from an answer is longer than the answer buffer.
    static constexpr size_t MAX_PARAM_LEN = 2000;

    static bool isParamText(const char* pszText) {
        return pszText != nullptr && strnlen(pszText, MAX_PARAM_LEN + 1) <= MAX_PARAM_LEN;
    }
};

} // namespace ORC::CFG
