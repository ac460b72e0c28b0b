#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Conversions between the process's narrow encoding and UTF-16, and small wide-text helpers.
namespace FWK::UTI {

// Converts the whole narrow text (terminator included) into at most unCapacity UTF-16 units.
// The last unit of the destination is always a terminator. On failure (destination too small)
// the assertion is reported and the destination holds the converted beginning of the text.
// A capacity of 0 does nothing. Returns true on success.
bool convertToWide(char16_t* pszDest, const char* pszSource, uint16_t unCapacity);

// The same in the other direction; unCapacity counts bytes.
bool convertToNarrow(const char16_t* pszSource, char* pszDest, uint16_t unCapacity);

// Whole-string forms for callers that do not work with fixed buffers.
std::u16string toWide(const std::string& rText);
std::string toNarrow(const std::u16string& rText);

// Name of the narrow encoding the conversions use ("UTF-8" in a C or POSIX locale).
std::string narrowEncodingName();

size_t wideLength(const char16_t* pszText);
// Copy and append up to and including the terminator; the destination must have room.
char16_t* wideCopy(char16_t* pszDest, const char16_t* pszSource);
char16_t* wideAppend(char16_t* pszDest, const char16_t* pszSource);

// There is no registry on this platform: both readers report the value as absent, so that
// callers take their defaults. pBuffer is left untouched.
bool readRegistryValue(const char16_t* pszKey, const char16_t* pszSubKey, const char16_t* pszName,
                       void* pBuffer, uint32_t ulBufferSize);
bool readRegistryFlag(const char16_t* pszKey, const char16_t* pszSubKey, const char16_t* pszName,
                      bool& rbFlag);

} // namespace FWK::UTI
