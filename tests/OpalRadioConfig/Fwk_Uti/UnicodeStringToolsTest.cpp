#include "../AssertionRecorder.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace FWK::UTI;

TEST(UnicodeStringToolsTest, RoundTripsThroughTheNarrowEncoding) {
    ASSERT_EQ("UTF-8", narrowEncodingName()); // tests run in a C or UTF-8 locale
    char16_t wide[32];
    ASSERT_TRUE(convertToWide(wide, "caf\xC3\xA9 \xF0\x9F\x93\xBB", 32));
    EXPECT_EQ(std::u16string(u"caf\u00e9 \U0001F4FB"), std::u16string(wide));
    char narrow[32];
    ASSERT_TRUE(convertToNarrow(wide, narrow, 32));
    EXPECT_STREQ("caf\xC3\xA9 \xF0\x9F\x93\xBB", narrow);
    EXPECT_EQ(u"caf\u00e9", toWide("caf\xC3\xA9"));
    EXPECT_EQ("caf\xC3\xA9", toNarrow(u"caf\u00e9"));
}

TEST(UnicodeStringToolsTest, TooSmallDestinationReportsAndStaysTerminated) {
    AssertionRecorder recorder;
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_FALSE(convertToWide(wide, "0123456789", 4));
    EXPECT_EQ(std::u16string(u"012"), std::u16string(wide));

    // The exact fit leaves no room for the terminator: that is a failure too.
    char narrow[4];
    std::memset(narrow, 'x', sizeof narrow);
    EXPECT_FALSE(convertToNarrow(u"abcd", narrow, 4));
    EXPECT_STREQ("abc", narrow);

    // A cut never leaves half a character behind.
    EXPECT_FALSE(convertToNarrow(u"ab\u00e9", narrow, 4));
    EXPECT_STREQ("ab", narrow);
    EXPECT_FALSE(convertToWide(wide, "ab\xF0\x9F\x93\xBB", 4));
    EXPECT_EQ(std::u16string(u"ab"), std::u16string(wide));

    EXPECT_EQ((std::vector<std::string>{"false", "false", "false", "false"}),
              recorder.expressions());
    const std::string strToWideSite = "Fwk_Uti\\FWK_UTI_UnicodeStringTools(57)";
    const std::string strToNarrowSite = "Fwk_Uti\\FWK_UTI_UnicodeStringTools(73)";
    EXPECT_EQ(
        (std::vector<std::string>{strToWideSite, strToNarrowSite, strToNarrowSite, strToWideSite}),
        recorder.sites());
}

TEST(UnicodeStringToolsTest, ZeroCapacityTouchesNothing) {
    AssertionRecorder recorder;
    char16_t wide[1] = {u'q'};
    EXPECT_FALSE(convertToWide(wide, "abc", 0));
    EXPECT_EQ(u'q', wide[0]);
    EXPECT_TRUE(recorder.expressions().empty());
}

TEST(UnicodeStringToolsTest, WideCopyAndAppend) {
    char16_t buffer[16];
    wideCopy(buffer, u"ab");
    wideAppend(buffer, u"cd");
    EXPECT_EQ(4u, wideLength(buffer));
    EXPECT_EQ(std::u16string(u"abcd"), std::u16string(buffer));
}
