#include "pane_trim.h"

#include <gtest/gtest.h>

#include <string>

TEST(PaneTrim, NothingGoesWhileTheTextFitsTheBound) {
    EXPECT_EQ(PaneTrimLength(u"", 0, 0), 0u);
    EXPECT_EQ(PaneTrimLength(u"ab\r\n", 4, 8), 0u) << "exactly the bound still fits";
}

TEST(PaneTrim, WholeOldestLinesGoDownToThreeQuartersOfTheBound) {
    // 10 lines of 10 characters; bound 100, so the 4 more characters must cut to 75 - 4.
    std::u16string text;
    for (char16_t c = u'0'; c <= u'9'; ++c) {
        text += std::u16string(8, c) + u"\r\n";
    }
    const std::size_t cut = PaneTrimLength(text, 4, 100);
    EXPECT_EQ(cut, 30u) << "29 characters were needed; the cut ends the third line";
    EXPECT_EQ(text.substr(cut, 8), u"33333333");
    EXPECT_LE(text.size() - cut + 4, 75u);
}

TEST(PaneTrim, TheFirstLineEndAtOrAcrossTheNeededLengthEndsTheCut) {
    // Bound 6 keeps 4: 4 characters must go, which ends on the "\n" of "abc\r\n".
    EXPECT_EQ(PaneTrimLength(u"abc\r\nde", 1, 6), 5u);
    // 3 must go, up to the "\r".
    EXPECT_EQ(PaneTrimLength(u"abc\r\nd", 1, 6), 5u);
    // Bound 8 keeps 6: exactly the first line (5) must go, not the second as well.
    EXPECT_EQ(PaneTrimLength(u"abc\r\ndef\r\n", 1, 8), 5u);
}

TEST(PaneTrim, EverythingGoesWhenNoLineEndFollowsOrTheNewTextAloneIsTooLong) {
    EXPECT_EQ(PaneTrimLength(u"ab\r\ncdefgh", 1, 8), 10u) << "no line end after the needed length";
    EXPECT_EQ(PaneTrimLength(u"ab\r\n", 20, 8), 4u);
}
