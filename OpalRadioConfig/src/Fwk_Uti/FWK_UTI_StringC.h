#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace FWK::UTI {

// Reference-counted UTF-16 string for paths and registry-style names. Copies share one
// representation; text is changed in place only while this string is its sole owner.
class StringC {
public:
    static constexpr int INLINE_LEN = 16; // wide characters, terminator included

    StringC();
    StringC(const char16_t* pszText);
    // Each byte becomes the wide character of the same value; no code-page conversion.
    explicit StringC(const char* pszText);
    explicit StringC(const std::string& rText);
    StringC(const StringC& rOther);
    ~StringC();

    StringC& operator=(const StringC& rOther);
    StringC& operator=(const char16_t* pszText);
    StringC& operator+=(const char16_t* pszText);
    StringC& operator+=(const StringC& rOther);
    StringC operator+(const StringC& rOther) const;
    StringC operator+(const char16_t* pszText) const;

    bool operator==(const StringC& rOther) const;
    bool operator==(const char16_t* pszText) const;

    const char16_t* GetString() const;
    operator const char16_t*() const { return GetString(); }
    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    // Characters that fit without a new representation: 15 inline, else heap capacity - 1.
    int GetCapacity() const;

    // printf-style formatting (glibc wide rules: %s takes narrow text, %ls wchar_t text; narrow
    // text is read as the conversions read it, UTF-8 in the C locale). Returns the length of the
    // new text, or -1 when it would exceed 65535 characters or an argument is no valid text, in
    // which case the string is unchanged.
    int format(const char16_t* pszPattern, ...);

private:
    struct RepresentationS;

    static RepresentationS* emptyRepresentation();
    static RepresentationS* createRepresentation(const char16_t* pszText, size_t unLength);
    static void addReference(RepresentationS* pRep);
    static void releaseRepresentation(RepresentationS* pRep);
    void assignText(const char16_t* pszText, size_t unLength);
    void replaceRepresentation(RepresentationS* pRep);

    RepresentationS* m_pRep;
};

StringC operator+(const char16_t* pszLeft, const StringC& rRight);

} // namespace FWK::UTI
