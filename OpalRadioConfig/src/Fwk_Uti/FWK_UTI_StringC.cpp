#include "Fwk_Uti/FWK_UTI_StringC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <langinfo.h>
#include <memory>
#include <string_view>
#include <vector>

namespace FWK::UTI {

struct StringC::RepresentationS {
    char16_t m_szInline[INLINE_LEN] = {};
    char16_t* m_pszHeap = nullptr;
    std::atomic<int32_t> m_lRefCount{1};
    uint32_t m_ulHeapCapacity = 0; // terminator included; 0 while the inline buffer is used
    uint32_t m_ulReserved1 = 0;
    uint32_t m_ulReserved2 = 0;
    uint16_t m_unReserved3 = 0;

    char16_t* text() { return m_pszHeap != nullptr ? m_pszHeap : m_szInline; }
    size_t capacity() const { return m_pszHeap != nullptr ? m_ulHeapCapacity - 1 : INLINE_LEN - 1; }
};

namespace {
constexpr int FORMAT_FIRST_LEN = 512;
constexpr int FORMAT_LAST_LEN = 65536;

// Appends the UTF-16 form of a wide (UTF-32) text.
void appendUtf16(std::u16string& rOut, const wchar_t* pszText, size_t unLength) {
    for (size_t i = 0; i < unLength; ++i) {
        auto ulCode = static_cast<uint32_t>(pszText[i]);
        if (ulCode >= 0x10000 && ulCode <= 0x10FFFF) {
            ulCode -= 0x10000;
            rOut.push_back(static_cast<char16_t>(0xD800 + (ulCode >> 10)));
            rOut.push_back(static_cast<char16_t>(0xDC00 + (ulCode & 0x3FF)));
        } else if (ulCode > 0x10FFFF) {
            rOut.push_back(u'\uFFFD');
        } else {
            rOut.push_back(static_cast<char16_t>(ulCode));
        }
    }
}

std::wstring toWcharPattern(const char16_t* pszPattern) {
    std::wstring pattern;
    for (const char16_t* p = pszPattern; *p != 0; ++p) {
        char32_t code = *p;
        if (code >= 0xD800 && code < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        pattern.push_back(static_cast<wchar_t>(code));
    }
    return pattern;
}

// The C library decodes %s text by the thread's locale. Where it claims ASCII (the C locale)
// the framework's conversions read narrow text as UTF-8, so formatting does the same: for the
// scope, the thread decodes characters as UTF-8 and keeps the rest of its locale.
class NarrowTextLocaleT {
public:
    NarrowTextLocaleT() {
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0 || narrowEncodingName() != "UTF-8") {
            return;
        }
        const locale_t base = duplocale(uselocale(static_cast<locale_t>(nullptr)));
        if (base == static_cast<locale_t>(nullptr)) {
            return;
        }
        m_utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", base);
        if (m_utf8 == static_cast<locale_t>(nullptr)) {
            freelocale(base);
            return;
        }
        m_previous = uselocale(m_utf8);
    }
    ~NarrowTextLocaleT() {
        if (m_utf8 != static_cast<locale_t>(nullptr)) {
            uselocale(m_previous);
            freelocale(m_utf8);
        }
    }
    NarrowTextLocaleT(const NarrowTextLocaleT&) = delete;
    NarrowTextLocaleT& operator=(const NarrowTextLocaleT&) = delete;

private:
    locale_t m_utf8 = static_cast<locale_t>(nullptr);
    locale_t m_previous = static_cast<locale_t>(nullptr);
};

constexpr int FORMAT_INVALID_TEXT = -2;

// Formats into a buffer of unSize wide characters; returns the length, -1 when it did not fit,
// or FORMAT_INVALID_TEXT when an argument is no valid text (a larger buffer would not help).
int formatInto(std::vector<wchar_t>& rBuffer, size_t unSize, const wchar_t* pszPattern,
               va_list args) {
    rBuffer.assign(unSize, L'\0');
    va_list copy;
    va_copy(copy, args);
    errno = 0;
    const int iLength = std::vswprintf(rBuffer.data(), unSize, pszPattern, copy);
    const bool bInvalidText = iLength < 0 && errno == EILSEQ;
    va_end(copy);
    if (bInvalidText) {
        return FORMAT_INVALID_TEXT;
    }
    return (iLength >= 0 && static_cast<size_t>(iLength) < unSize) ? iLength : -1;
}
} // namespace

StringC::RepresentationS* StringC::emptyRepresentation() {
    // Lives in static storage; its own reference keeps the count above zero for good.
    static RepresentationS s_empty;
    return &s_empty;
}

StringC::RepresentationS* StringC::createRepresentation(const char16_t* pszText, size_t unLength) {
    if (unLength == 0) {
        RepresentationS* pEmpty = emptyRepresentation();
        addReference(pEmpty);
        return pEmpty;
    }
    auto pRep = std::make_unique<RepresentationS>();
    if (unLength >= INLINE_LEN) {
        pRep->m_pszHeap = new char16_t[unLength + 1];
        pRep->m_ulHeapCapacity = static_cast<uint32_t>(unLength + 1);
    }
    std::char_traits<char16_t>::copy(pRep->text(), pszText, unLength);
    pRep->text()[unLength] = 0;
    return pRep.release();
}

void StringC::addReference(RepresentationS* pRep) {
    pRep->m_lRefCount.fetch_add(1, std::memory_order_relaxed);
}

void StringC::releaseRepresentation(RepresentationS* pRep) {
    if (pRep->m_lRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete[] pRep->m_pszHeap;
        delete pRep;
    }
}

StringC::StringC() : m_pRep(emptyRepresentation()) {
    addReference(m_pRep);
}

StringC::StringC(const char16_t* pszText)
    : m_pRep(createRepresentation(pszText, wideLength(pszText))) {}

StringC::StringC(const char* pszText) : StringC(std::string(pszText == nullptr ? "" : pszText)) {}

StringC::StringC(const std::string& rText) {
    std::u16string wide;
    wide.reserve(rText.size());
    for (char c : rText) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    m_pRep = createRepresentation(wide.c_str(), wide.size());
}

StringC::StringC(const StringC& rOther) : m_pRep(rOther.m_pRep) {
    addReference(m_pRep);
}

StringC::~StringC() {
    releaseRepresentation(m_pRep);
}

void StringC::replaceRepresentation(RepresentationS* pRep) {
    RepresentationS* pOld = m_pRep;
    m_pRep = pRep;
    releaseRepresentation(pOld);
}

StringC& StringC::operator=(const StringC& rOther) {
    addReference(rOther.m_pRep); // first, so that self-assignment is harmless
    replaceRepresentation(rOther.m_pRep);
    return *this;
}

void StringC::assignText(const char16_t* pszText, size_t unLength) {
    const bool bSoleOwner =
        m_pRep != emptyRepresentation() && m_pRep->m_lRefCount.load(std::memory_order_acquire) == 1;
    if (bSoleOwner && unLength <= m_pRep->capacity()) {
        // The source may lie inside our own buffer.
        std::char_traits<char16_t>::move(m_pRep->text(), pszText, unLength);
        m_pRep->text()[unLength] = 0;
        return;
    }
    replaceRepresentation(createRepresentation(pszText, unLength));
}

StringC& StringC::operator=(const char16_t* pszText) {
    assignText(pszText == nullptr ? u"" : pszText, wideLength(pszText));
    return *this;
}

StringC& StringC::operator+=(const char16_t* pszText) {
    const size_t unOldLength = static_cast<size_t>(GetLength());
    const size_t unAddLength = wideLength(pszText);
    std::u16string joined;
    joined.reserve(unOldLength + unAddLength);
    joined.append(GetString(), unOldLength);
    if (unAddLength != 0) {
        joined.append(pszText, unAddLength);
    }
    replaceRepresentation(createRepresentation(joined.c_str(), joined.size()));
    return *this;
}

StringC& StringC::operator+=(const StringC& rOther) {
    const StringC keep(rOther); // rOther may be *this
    return *this += keep.GetString();
}

StringC StringC::operator+(const StringC& rOther) const {
    StringC result(*this);
    result += rOther;
    return result;
}

StringC StringC::operator+(const char16_t* pszText) const {
    StringC result(*this);
    result += pszText;
    return result;
}

StringC operator+(const char16_t* pszLeft, const StringC& rRight) {
    StringC result(pszLeft);
    result += rRight;
    return result;
}

bool StringC::operator==(const StringC& rOther) const {
    return std::u16string_view(GetString()) == std::u16string_view(rOther.GetString());
}

bool StringC::operator==(const char16_t* pszText) const {
    return std::u16string_view(GetString()) ==
           std::u16string_view(pszText == nullptr ? u"" : pszText);
}

const char16_t* StringC::GetString() const {
    return m_pRep->text();
}

int StringC::GetLength() const {
    return static_cast<int>(wideLength(m_pRep->text()));
}

int StringC::GetCapacity() const {
    return static_cast<int>(m_pRep->capacity());
}

int StringC::format(const char16_t* pszPattern, ...) {
    if (pszPattern == nullptr) {
        return -1;
    }
    const std::wstring pattern = toWcharPattern(pszPattern);
    va_list args;
    va_start(args, pszPattern);
    std::vector<wchar_t> buffer;
    int iLength = -1;
    {
        const NarrowTextLocaleT narrowText;
        iLength = formatInto(buffer, FORMAT_FIRST_LEN, pattern.c_str(), args);
        for (size_t unSize = 2 * FORMAT_FIRST_LEN; iLength == -1 && unSize <= FORMAT_LAST_LEN;
             unSize *= 2) {
            iLength = formatInto(buffer, unSize, pattern.c_str(), args);
        }
    }
    va_end(args);
    if (iLength == FORMAT_INVALID_TEXT) {
        FWK_ASSERT(!"format argument is no valid text");
        return -1;
    }
    if (iLength < 0) {
        // The framework's module and line, so that error logs read the same on every platform.
        ERR::assertReport("iDynamicSize < (100 * 1024)", 0, 0, "Fwk_Uti\\FWK_UTI_String", 537);
        return -1;
    }
    std::u16string text;
    appendUtf16(text, buffer.data(), static_cast<size_t>(iLength));
    assignText(text.c_str(), text.size());
    return static_cast<int>(text.size());
}

} // namespace FWK::UTI
