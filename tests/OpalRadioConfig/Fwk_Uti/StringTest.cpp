#include "../AssertionRecorder.h"
#include "Fwk_Uti/FWK_UTI_StringC.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <thread>
#include <vector>

using FWK::UTI::StringC;

TEST(StringTest, FifteenCharactersStayInlineAndSixteenGetAHeapBufferOfSeventeen) {
    StringC fifteen(u"abcdefghijklmno");
    EXPECT_EQ(15, fifteen.GetLength());
    EXPECT_EQ(15, fifteen.GetCapacity());
    StringC sixteen(u"abcdefghijklmnop");
    EXPECT_EQ(16, sixteen.GetLength());
    EXPECT_EQ(16, sixteen.GetCapacity());
    EXPECT_TRUE(sixteen == u"abcdefghijklmnop");
}

TEST(StringTest, EmptyStringsShareOneRepresentation) {
    StringC a, b(u""), c(static_cast<const char16_t*>(nullptr)), d("");
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());
    EXPECT_EQ(a.GetString(), d.GetString());
    EXPECT_TRUE(a.IsEmpty());
    // Assigning to a string that shares the empty representation must not write into it.
    b = u"x";
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(StringC().IsEmpty());
}

TEST(StringTest, CopiesShareUntilOneIsAssigned) {
    StringC first(u"original");
    StringC copy(first);
    EXPECT_EQ(first.GetString(), copy.GetString());
    copy = u"changed";
    EXPECT_TRUE(first == u"original");
    EXPECT_TRUE(copy == u"changed");

    StringC assigned;
    assigned = first;
    EXPECT_EQ(first.GetString(), assigned.GetString());
    assigned += u" plus";
    EXPECT_TRUE(first == u"original");
    EXPECT_TRUE(assigned == u"original plus");
}

TEST(StringTest, SoleOwnerAssignsInPlaceOnlyWhenTheTextFits) {
    StringC text(u"a long enough text for the heap");
    const char16_t* pszBefore = text.GetString();
    text = u"short";
    EXPECT_EQ(pszBefore, text.GetString());
    EXPECT_TRUE(text == u"short");
    text = u"a text that is longer than the heap buffer was";
    EXPECT_TRUE(text == u"a text that is longer than the heap buffer was");
    // A source inside the string's own buffer.
    text = text.GetString() + 7;
    EXPECT_TRUE(text == u"that is longer than the heap buffer was");
    text = text;
    EXPECT_TRUE(text == u"that is longer than the heap buffer was");
}

TEST(StringTest, AppendAndConcatenationIncludingSelf) {
    StringC path(u"/data");
    path += path;
    EXPECT_TRUE(path == u"/data/data");
    StringC joined = StringC(u"a") + u"/b" + StringC(u"/c");
    EXPECT_TRUE(joined == u"a/b/c");
    EXPECT_TRUE((u"x" + joined) == u"xa/b/c");
}

TEST(StringTest, NarrowBytesBecomeWideCharactersOfTheSameValue) {
    StringC e9("caf\xE9");
    ASSERT_EQ(4, e9.GetLength());
    EXPECT_EQ(char16_t(0x00E9), e9.GetString()[3]);
    EXPECT_TRUE(StringC(std::string("abc")) == u"abc");
}

TEST(StringTest, FormatGrowsItsBufferAndGivesUpBeyond65535Characters) {
    AssertionRecorder recorder;
    StringC text;
    EXPECT_EQ(9, text.format(u"%d-%s-%ls", 42, "abc", L"\u00e9z"));
    EXPECT_TRUE(text == u"42-abc-\u00e9z");
    EXPECT_EQ(600, text.format(u"%0600d", 7));
    EXPECT_EQ(600, text.GetLength());
    EXPECT_EQ(u'7', text.GetString()[599]);
    EXPECT_EQ(65535, text.format(u"%065535d", 1));
    EXPECT_TRUE(recorder.expressions().empty());

    text = u"kept";
    EXPECT_EQ(-1, text.format(u"%070000d", 1));
    EXPECT_TRUE(text == u"kept");
    EXPECT_EQ((std::vector<std::string>{"iDynamicSize < (100 * 1024)"}), recorder.expressions());
    EXPECT_EQ((std::vector<std::string>{"Fwk_Uti\\FWK_UTI_String(537)"}), recorder.sites());
}

TEST(StringTest, FormatReadsNarrowTextAsUtf8InTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    AssertionRecorder recorder;
    StringC text;
    EXPECT_EQ(6, text.format(u"%s-%d", "K\u00e4se", 7));
    EXPECT_TRUE(text == u"K\u00e4se-7");

    // Text that is no UTF-8 fails at once, without growing the buffer to its limit.
    EXPECT_EQ(-1, text.format(u"%s", "\xff"));
    EXPECT_TRUE(text == u"K\u00e4se-7");
    EXPECT_EQ((std::vector<std::string>{"!\"format argument is no valid text\""}),
              recorder.expressions());
}

TEST(StringTest, CopiesReleasedOnManyThreadsFreeTheRepresentationOnce) {
    StringC shared(u"shared between threads, long enough for the heap");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 10000; ++i) {
                StringC copy(shared);
                ASSERT_EQ(shared.GetLength(), copy.GetLength());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_TRUE(shared == u"shared between threads, long enough for the heap");
}
