#include "unifile.h"

#include <gtest/gtest.h>

namespace {

TEST(IsUTF8Text, AcceptsWellFormedSequencesAtTheEdgesOfEachRow) {
    for (const char* text :
         {"", "\t\n\r plain ~", "\xC2\x80\xDF\xBF", "\xE0\xA0\x80\xE0\xBF\xBF", "\xE1\x80\x80",
          "\xEC\xBF\xBF\xEE\x80\x80\xEF\xBF\xBF", "\xED\x80\x80\xED\x9F\xBF",
          "\xF0\x90\x80\x80\xF0\xBF\xBF\xBF", "\xF1\x80\x80\x80\xF3\xBF\xBF\xBF",
          "\xF4\x80\x80\x80\xF4\x8F\xBF\xBF", "ok\0\xFF"}) {
        EXPECT_TRUE(IsUTF8Text(text)) << testing::PrintToString(text);
    }
}

TEST(IsUTF8Text, RejectsControlsOverlongsSurrogatesAndTruncation) {
    for (const char* text :
         {"\x01", "a\fb", "\x1F", "\x7F", "\x80", "\xBF", "\xC0\x80", "\xC1\xBF", "\xC2\x7F",
          "\xC2\xC0", "\xE0\x9F\xBF", "\xE1\x80\x7F", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xE9\x80", "\xF1\x80\x80"}) {
        EXPECT_FALSE(IsUTF8Text(text)) << testing::PrintToString(text);
    }
    EXPECT_FALSE(IsUTF8Text(nullptr));
}

TEST(ConvertUTF8ToUnicode, DecodesAndReplacesMalformedSequences) {
    EXPECT_EQ(ConvertUTF8ToUnicode("A\xE9\x80\x9A\xF0\x9F\x98\x80"), u"A通\U0001F600");
    EXPECT_EQ(ConvertUTF8ToUnicode("\xE9\x80"), u"\uFFFD");
    EXPECT_EQ(ConvertUTF8ToUnicode("\xE9\x80x"), u"\uFFFDx");
    EXPECT_EQ(ConvertUTF8ToUnicode("\xC0\x80"), u"\uFFFD\uFFFD");
    EXPECT_EQ(ConvertUTF8ToUnicode("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(ConvertUTF8ToUnicode(""), u"");
}

TEST(ConvertAnsiToUnicode, ReadsCodePage936) {
    EXPECT_EQ(ConvertAnsiToUnicode("1#\xB2\xE2\xCA\xD4\xCD\xA8\xB9\xFD"), u"1#测试通过");
    EXPECT_EQ(ConvertAnsiToUnicode("\x80"), u"€");
    // A lead byte without its trail byte, and a lead byte whose trail is not one.
    EXPECT_EQ(ConvertAnsiToUnicode("ab\xB2"), u"ab?");
    EXPECT_EQ(ConvertAnsiToUnicode("\x81\x30"), u"?0");
    EXPECT_EQ(ConvertAnsiToUnicode(""), u"");
}

} // namespace
