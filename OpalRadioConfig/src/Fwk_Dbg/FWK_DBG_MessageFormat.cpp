#include "Fwk_Dbg/FWK_DBG_MessageFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace FWK::DBG {

namespace {

struct ConversionS {
    bool bLeft = false;
    bool bZero = false;
    size_t unWidth = 0;
    bool bPrecision = false;
    size_t unPrecision = 0;
    int iLongs = 0; // 0 int, 1 long, 2 long long; z counts as long
    char cConversion = '\0';
};

// Writes into a bounded buffer; gives up (and the caller falls back) when it is full.
class MessageTextC {
public:
    MessageTextC(char* pszBuffer, size_t capacity) : m_pszBuffer(pszBuffer), m_capacity(capacity) {}
    bool put(char c) { return put(&c, 1); }
    bool put(const char* pszText, size_t length) {
        if (m_length + length >= m_capacity) {
            return false;
        }
        std::memcpy(m_pszBuffer + m_length, pszText, length);
        m_length += length;
        return true;
    }
    bool pad(char c, size_t count) {
        if (m_length + count >= m_capacity) {
            return false;
        }
        std::memset(m_pszBuffer + m_length, c, count);
        m_length += count;
        return true;
    }
    int finish() {
        m_pszBuffer[m_length] = '\0';
        return static_cast<int>(m_length);
    }

private:
    char* m_pszBuffer;
    size_t m_capacity;
    size_t m_length = 0;
};

size_t readNumber(const char*& rpsz) {
    size_t unValue = 0;
    while (*rpsz >= '0' && *rpsz <= '9' && unValue < 10000) {
        unValue = unValue * 10 + static_cast<size_t>(*rpsz++ - '0');
    }
    return unValue;
}

// Reads one conversion after its '%'; false for anything this formatter leaves to vsnprintf.
bool parseConversion(const char*& rpsz, ConversionS& rConversion) {
    for (;; ++rpsz) {
        if (*rpsz == '-') {
            rConversion.bLeft = true;
        } else if (*rpsz == '0') {
            rConversion.bZero = true;
        } else {
            break;
        }
    }
    rConversion.unWidth = readNumber(rpsz);
    if (*rpsz == '.') {
        ++rpsz;
        rConversion.bPrecision = true;
        rConversion.unPrecision = readNumber(rpsz);
    }
    if (*rpsz == 'z') {
        rConversion.iLongs = 1;
        ++rpsz;
    } else {
        while (*rpsz == 'l' && rConversion.iLongs < 2) {
            ++rConversion.iLongs;
            ++rpsz;
        }
    }
    rConversion.cConversion = *rpsz;
    if (rConversion.cConversion == '\0') {
        return false;
    }
    ++rpsz;
    switch (rConversion.cConversion) {
    case 's':
        return rConversion.iLongs == 0 && !rConversion.bZero;
    case 'c':
        return rConversion.iLongs == 0 && !rConversion.bZero && !rConversion.bPrecision;
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
        return !rConversion.bPrecision;
    default:
        return false;
    }
}

bool putPadded(MessageTextC& rText, const ConversionS& rConversion, const char* pszSign,
               size_t signLength, const char* pszDigits, size_t digitsLength) {
    const size_t length = signLength + digitsLength;
    const size_t fill = rConversion.unWidth > length ? rConversion.unWidth - length : 0;
    if (rConversion.bLeft) {
        return rText.put(pszSign, signLength) && rText.put(pszDigits, digitsLength) &&
               rText.pad(' ', fill);
    }
    if (rConversion.bZero) {
        return rText.put(pszSign, signLength) && rText.pad('0', fill) &&
               rText.put(pszDigits, digitsLength);
    }
    return rText.pad(' ', fill) && rText.put(pszSign, signLength) &&
           rText.put(pszDigits, digitsLength);
}

bool putInteger(MessageTextC& rText, const ConversionS& rConversion, va_list& rArgs) {
    const bool bSigned = rConversion.cConversion == 'd' || rConversion.cConversion == 'i';
    uint64_t ullMagnitude = 0;
    bool bNegative = false;
    if (bSigned) {
        long long llValue = rConversion.iLongs == 2   ? va_arg(rArgs, long long)
                            : rConversion.iLongs == 1 ? va_arg(rArgs, long)
                                                      : va_arg(rArgs, int);
        bNegative = llValue < 0;
        ullMagnitude =
            bNegative ? 0 - static_cast<uint64_t>(llValue) : static_cast<uint64_t>(llValue);
    } else {
        ullMagnitude = rConversion.iLongs == 2   ? va_arg(rArgs, unsigned long long)
                       : rConversion.iLongs == 1 ? va_arg(rArgs, unsigned long)
                                                 : va_arg(rArgs, unsigned int);
    }
    const char* const pszDigitSet =
        rConversion.cConversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char szDigits[24];
    size_t unStart = sizeof(szDigits);
    // Fixed divisors: the compiler turns them into multiplications and shifts, where a divisor
    // held in a variable costs a full division per digit.
    if (rConversion.cConversion == 'x' || rConversion.cConversion == 'X') {
        do {
            szDigits[--unStart] = pszDigitSet[ullMagnitude % 16];
            ullMagnitude /= 16;
        } while (ullMagnitude != 0);
    } else {
        do {
            szDigits[--unStart] = pszDigitSet[ullMagnitude % 10];
            ullMagnitude /= 10;
        } while (ullMagnitude != 0);
    }
    return putPadded(rText, rConversion, "-", bNegative ? 1 : 0, szDigits + unStart,
                     sizeof(szDigits) - unStart);
}

// false leaves the conversion to vsnprintf (a null text prints as glibc chooses).
bool putConversion(MessageTextC& rText, const ConversionS& rConversion, va_list& rArgs) {
    switch (rConversion.cConversion) {
    case 's': {
        const char* pszText = va_arg(rArgs, const char*);
        if (pszText == nullptr) {
            return false;
        }
        const size_t length = rConversion.bPrecision ? strnlen(pszText, rConversion.unPrecision)
                                                     : std::strlen(pszText);
        return putPadded(rText, ConversionS{rConversion.bLeft, false, rConversion.unWidth}, "", 0,
                         pszText, length);
    }
    case 'c': {
        const char c = static_cast<char>(va_arg(rArgs, int));
        return putPadded(rText, ConversionS{rConversion.bLeft, false, rConversion.unWidth}, "", 0,
                         &c, 1);
    }
    default:
        return putInteger(rText, rConversion, rArgs);
    }
}

// The whole message, or false when vsnprintf must write it.
bool formatQuickly(MessageTextC& rText, const char* pszFormat, va_list& rArgs) {
    const char* psz = pszFormat;
    while (*psz != '\0') {
        const char* pszPercent = std::strchr(psz, '%');
        const size_t literal =
            pszPercent != nullptr ? static_cast<size_t>(pszPercent - psz) : std::strlen(psz);
        if (!rText.put(psz, literal)) {
            return false;
        }
        if (pszPercent == nullptr) {
            return true;
        }
        psz = pszPercent + 1;
        if (*psz == '%') {
            if (!rText.put('%')) {
                return false;
            }
            ++psz;
            continue;
        }
        ConversionS conversion;
        if (!parseConversion(psz, conversion) || !putConversion(rText, conversion, rArgs)) {
            return false;
        }
    }
    return true;
}

} // namespace

int formatMessage(char* pszBuffer, size_t capacity, const char* pszFormat, va_list args) {
    if (capacity > 0 && pszFormat != nullptr) {
        va_list quickArgs;
        va_copy(quickArgs, args);
        MessageTextC text(pszBuffer, capacity);
        const bool bDone = formatQuickly(text, pszFormat, quickArgs);
        va_end(quickArgs);
        if (bDone) {
            return text.finish();
        }
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    return std::vsnprintf(pszBuffer, capacity, pszFormat, args);
#pragma GCC diagnostic pop
}

} // namespace FWK::DBG
