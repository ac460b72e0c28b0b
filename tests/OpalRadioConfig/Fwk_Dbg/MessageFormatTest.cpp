#include "Fwk_Dbg/FWK_DBG_MessageFormat.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using FWK::DBG::formatMessage;

struct FormattedS {
    std::string strText;
    int iLength;
};

template <size_t N> FormattedS ours(char (&szBuffer)[N], const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    const int iLength = formatMessage(szBuffer, N, pszFormat, args);
    va_end(args);
    return {szBuffer, iLength};
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <size_t N> FormattedS theirs(char (&szBuffer)[N], const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    const int iLength = std::vsnprintf(szBuffer, N, pszFormat, args);
    va_end(args);
    return {szBuffer, iLength};
}
#pragma GCC diagnostic pop

// Every message reads exactly as vsnprintf writes it, with vsnprintf's length, in a buffer
// that holds it and in one that cuts it: the conversions written here and those left to it.
TEST(MessageFormatTest, WritesWhatVsnprintfWrites) {
    using Call = std::function<FormattedS(char(&)[64], bool bOurs)>;
#define CASE(...)                                                                                  \
    [](char(&b)[64], bool bOurs) { return bOurs ? ours(b, __VA_ARGS__) : theirs(b, __VA_ARGS__); }
    const std::vector<Call> calls = {
        CASE("plain text\n"),
        CASE("START %s %d\n", "PortBaseC::StartReading", 42),
        CASE("%d %i %u %x %X", INT_MIN, -7, UINT_MAX, 0xbeefu, 0xbeefu),
        CASE("%ld %lu %lx %lld %llu %zu %zd", LONG_MIN, ULONG_MAX, 0x2000006UL, LLONG_MIN,
             ULLONG_MAX, size_t{12345}, ssize_t{-5}),
        CASE("[%5d|%-5d|%05d|%-05d|%08lx|%5s|%-5s|%.2s|%3c|%-3c]", -42, 42, -42, 42, 0xa1cUL, "ab",
             "ab", "abcdef", 'x', 'y'),
        CASE("100%% %c%s", 'A', ""),
        CASE("left to vsnprintf: %+d %#x %hu %5.1f %p %*d", 5, 255u, 70000, 2.25, nullptr, 4, 7),
        CASE("null text %s and a lone %", nullptr),
        CASE("%s", "a text far longer than the sixty-four bytes of the buffer it is written to"),
        CASE("%60d%d", 1, 23456),
    };
#undef CASE
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        char szOurs[64];
        char szTheirs[64];
        const FormattedS expected = calls[i](szTheirs, false);
        const FormattedS actual = calls[i](szOurs, true);
        EXPECT_EQ(actual.strText, expected.strText);
        EXPECT_EQ(actual.iLength, expected.iLength);
    }
}

} // namespace
