#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include "Fwk_Err/FWK_ERR_Report.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <memory>
#include <unicode/ucnv.h>

namespace FWK::UTI {

namespace {
// Reports name the framework's module and line, so that error logs read the same on every
// platform the framework runs on.
constexpr const char* REPORT_MODULE = "Fwk_Uti\\FWK_UTI_UnicodeStringTools";
constexpr int LINE_TO_WIDE = 57;
constexpr int LINE_TO_NARROW = 73;

struct ConverterCloserT {
    void operator()(UConverter* pConverter) const { ucnv_close(pConverter); }
};
using ConverterT = std::unique_ptr<UConverter, ConverterCloserT>;

bool isAsciiOnlyCodeset(const char* pszCodeset) {
    return std::strcmp(pszCodeset, "ANSI_X3.4-1968") == 0 ||
           std::strcmp(pszCodeset, "ASCII") == 0 || std::strcmp(pszCodeset, "US-ASCII") == 0;
}

// A converter is not thread-safe, so every conversion opens its own (ICU caches the tables).
ConverterT openNarrowConverter() {
    UErrorCode error = U_ZERO_ERROR;
    ConverterT converter(ucnv_open(narrowEncodingName().c_str(), &error));
    if (U_FAILURE(error)) {
        error = U_ZERO_ERROR;
        converter.reset(ucnv_open("UTF-8", &error));
    }
    return converter;
}

bool isLeadSurrogate(char16_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

// Drops a trailing UTF-8 sequence that the cut left incomplete.
void trimIncompleteUtf8(char* pszText) {
    size_t unLength = std::strlen(pszText);
    size_t unStart = unLength;
    while (unStart > 0 && (static_cast<unsigned char>(pszText[unStart - 1]) & 0xC0) == 0x80) {
        --unStart;
    }
    if (unStart == 0) {
        return;
    }
    const auto lead = static_cast<unsigned char>(pszText[unStart - 1]);
    const size_t unNeeded = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (unLength - (unStart - 1) < unNeeded) {
        pszText[unStart - 1] = '\0';
    }
}
} // namespace

std::string narrowEncodingName() {
    // In the C locale the C library claims ASCII, but text on this platform is UTF-8 in practice;
    // ASCII text converts the same either way.
    const char* pszCodeset = nl_langinfo(CODESET);
    if (pszCodeset == nullptr || *pszCodeset == '\0' || isAsciiOnlyCodeset(pszCodeset)) {
        return "UTF-8";
    }
    return pszCodeset;
}

bool convertToWide(char16_t* pszDest, const char* pszSource, uint16_t unCapacity) {
    if (unCapacity == 0 || pszDest == nullptr) {
        return false;
    }
    ConverterT converter = openNarrowConverter();
    UErrorCode error = U_ZERO_ERROR;
    const size_t unSourceLen = pszSource == nullptr ? 0 : std::strlen(pszSource);
    if (converter) {
        ucnv_toUChars(converter.get(), pszDest, unCapacity, pszSource == nullptr ? "" : pszSource,
                      static_cast<int32_t>(unSourceLen), &error);
    } else {
        error = U_MISSING_RESOURCE_ERROR;
        pszDest[0] = 0;
    }
    const bool bOk = U_SUCCESS(error) && error != U_STRING_NOT_TERMINATED_WARNING;
    pszDest[unCapacity - 1] = 0;
    if (!bOk) {
        const size_t unKept = wideLength(pszDest);
        if (unKept > 0 && isLeadSurrogate(pszDest[unKept - 1])) {
            pszDest[unKept - 1] = 0;
        }
        ERR::assertReport("false", 0, 0, REPORT_MODULE, LINE_TO_WIDE);
    }
    return bOk;
}

bool convertToNarrow(const char16_t* pszSource, char* pszDest, uint16_t unCapacity) {
    if (unCapacity == 0 || pszDest == nullptr) {
        return false;
    }
    ConverterT converter = openNarrowConverter();
    UErrorCode error = U_ZERO_ERROR;
    const size_t unSourceLen = wideLength(pszSource);
    if (converter) {
        ucnv_fromUChars(converter.get(), pszDest, unCapacity,
                        pszSource == nullptr ? u"" : pszSource, static_cast<int32_t>(unSourceLen),
                        &error);
    } else {
        error = U_MISSING_RESOURCE_ERROR;
        pszDest[0] = '\0';
    }
    const bool bOk = U_SUCCESS(error) && error != U_STRING_NOT_TERMINATED_WARNING;
    pszDest[unCapacity - 1] = '\0';
    if (!bOk) {
        if (narrowEncodingName() == "UTF-8") {
            trimIncompleteUtf8(pszDest);
        }
        ERR::assertReport("false", 0, 0, REPORT_MODULE, LINE_TO_NARROW);
    }
    return bOk;
}

std::u16string toWide(const std::string& rText) {
    ConverterT converter = openNarrowConverter();
    if (!converter) {
        return {};
    }
    std::u16string result(rText.size() + 1, u'\0');
    UErrorCode error = U_ZERO_ERROR;
    const int32_t lLength =
        ucnv_toUChars(converter.get(), result.data(), static_cast<int32_t>(result.size()),
                      rText.data(), static_cast<int32_t>(rText.size()), &error);
    result.resize(U_SUCCESS(error) ? static_cast<size_t>(lLength) : 0);
    return result;
}

std::string toNarrow(const std::u16string& rText) {
    ConverterT converter = openNarrowConverter();
    if (!converter) {
        return {};
    }
    // Four bytes per unit covers every encoding ICU converts to.
    std::string result(rText.size() * 4 + 1, '\0');
    UErrorCode error = U_ZERO_ERROR;
    const int32_t lLength =
        ucnv_fromUChars(converter.get(), result.data(), static_cast<int32_t>(result.size()),
                        rText.data(), static_cast<int32_t>(rText.size()), &error);
    result.resize(U_SUCCESS(error) ? static_cast<size_t>(lLength) : 0);
    return result;
}

size_t wideLength(const char16_t* pszText) {
    return pszText == nullptr ? 0 : std::char_traits<char16_t>::length(pszText);
}

char16_t* wideCopy(char16_t* pszDest, const char16_t* pszSource) {
    std::char_traits<char16_t>::copy(pszDest, pszSource, wideLength(pszSource) + 1);
    return pszDest;
}

char16_t* wideAppend(char16_t* pszDest, const char16_t* pszSource) {
    wideCopy(pszDest + wideLength(pszDest), pszSource);
    return pszDest;
}

bool readRegistryValue(const char16_t*, const char16_t*, const char16_t*, void*, uint32_t) {
    return false;
}

bool readRegistryFlag(const char16_t*, const char16_t*, const char16_t*, bool& rbFlag) {
    rbFlag = false;
    return false;
}

} // namespace FWK::UTI
