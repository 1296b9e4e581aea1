#include "codepage.h"

#include <gtest/gtest.h>

namespace framework {
namespace {

TEST(Codepage, AnsiIsCodePage936BothWays) {
    EXPECT_EQ(AnsiToWide("\xCD\xA8\xB9\xFD OK"), u"通过 OK");
    EXPECT_EQ(WideToAnsi(u"通过 OK"), "\xCD\xA8\xB9\xFD OK");
    // What the code page lacks, and a lone surrogate, become '?'.
    EXPECT_EQ(WideToAnsi(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(WideToAnsi(std::u16string(u"a\xD800", 2)), "a?");
    EXPECT_EQ(AnsiToWide(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Codepage, Utf8BothWays) {
    const std::u16string text = u"A通\U0001F600\r\n";
    const auto utf8 = WideToUtf8(text);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, "A\xE9\x80\x9A\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(Utf8ToWide(*utf8), text);
    // Lone surrogates of either half become U+FFFD.
    EXPECT_EQ(WideToUtf8(std::u16string{char16_t(0xDC00), u'x', char16_t(0xD83D)}),
              "\xEF\xBF\xBDx\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98"), u"\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xF8\x80"), u"\uFFFD\uFFFD");
}

} // namespace
} // namespace framework
