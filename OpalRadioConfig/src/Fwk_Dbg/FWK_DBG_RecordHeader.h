#pragma once

#include <cstddef>
#include <cstdint>

namespace FWK::DBG {

// Size of the buffer one record is built in, terminator included.
constexpr size_t TEMP_BUFF_LEN = 5000;

// The level column of the full header; levels above FATAL show FATAL's tag.
const char* levelTag(int32_t lLevel);

// Writes the header of the given type into the buffer (always terminated, never more than
// capacity bytes) and returns its length.
size_t formatHeader(int32_t lHeaderType, int32_t lLevel, const char* pszKey, char* pszBuffer,
                    size_t capacity);

} // namespace FWK::DBG
