#pragma once

#include <cstdint>

namespace FWK::UTI {
class StringC;
}

namespace FWK::DBG {

// A module's reaction to debug requests and debug keys.
class DbgConfigI {
public:
    virtual bool handle(int32_t lRequest, int32_t lArgument) = 0;
    virtual void notify(int32_t lArgument) = 0;
    // True when the handler knows the key; it then writes its answer into rOutput.
    virtual bool configure(const UTI::StringC& rKey, const UTI::StringC& rValue,
                           UTI::StringC& rOutput) = 0;
    virtual ~DbgConfigI() = default;
};

} // namespace FWK::DBG
