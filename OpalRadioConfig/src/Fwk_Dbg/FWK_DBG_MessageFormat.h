#pragma once

#include <cstdarg>
#include <cstddef>

namespace FWK::DBG {

// vsnprintf for the message of a record, with its result: the conversions messages use (%d %i
// %u %x %X %c %s %% with the flags '-' and '0', a width, a precision on %s, and the lengths l,
// ll and z) are written here; anything else, or a message that does not fit, is left to
// vsnprintf, so the text and the returned length are always vsnprintf's.
int formatMessage(char* pszBuffer, size_t capacity, const char* pszFormat, va_list args);

} // namespace FWK::DBG
