#include "args.h"

#include <gtest/gtest.h>

using uidriver::parse_number;

TEST(UiDriverArgs, NumbersInTheFormsTestsWrite) {
    EXPECT_EQ(parse_number(L"1045"), 1045u);
    EXPECT_EQ(parse_number(L"0x0475"), 0x475u);
    EXPECT_EQ(parse_number(L"0XfFfF"), 0xFFFFu);
    EXPECT_EQ(parse_number(L"-1"), UINT64_MAX); // lParam -1
    EXPECT_EQ(parse_number(L"18446744073709551615"), UINT64_MAX);
}

TEST(UiDriverArgs, RejectsWhatIsNotANumber) {
    for (const wchar_t* bad :
         {L"", L"-", L"0x", L"12a", L"-0x10", L"ok", L"18446744073709551616"}) {
        EXPECT_FALSE(parse_number(bad).has_value()) << "accepted a bad number";
    }
}

TEST(UiDriverArgs, WaitFallsBackAndIsBounded) {
    EXPECT_EQ(uidriver::parse_wait(nullptr, 5000), 5000u);
    EXPECT_EQ(uidriver::parse_wait(L"250", 5000), 250u);
    EXPECT_FALSE(uidriver::parse_wait(L"99999999", 5000).has_value());
}

TEST(UiDriverArgs, Utf8OfChineseAndSurrogates) {
    EXPECT_EQ(uidriver::to_utf8(u"1#测试通过"),
              "1#\xE6\xB5\x8B\xE8\xAF\x95\xE9\x80\x9A\xE8\xBF\x87");
    EXPECT_EQ(uidriver::to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(uidriver::to_utf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}
