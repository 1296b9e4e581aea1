#include "station_settings.h"

#include <gtest/gtest.h>

TEST(SettingsText, TrimTakesWhiteSpaceOffBothEndsOnly) {
    EXPECT_EQ(Trim(u" \t\"C:\\tools\\prog.exe\" /all\r\n"), u"\"C:\\tools\\prog.exe\" /all");
    EXPECT_EQ(Trim(u"\u3000prog a  b\u00A0"), u"prog a  b") << "full-width and no-break spaces";
    EXPECT_EQ(Trim(u" \t "), u"");
}

TEST(SettingsText, PortsAreWholeDecimalIntegers) {
    EXPECT_EQ(ParseInteger(u" 42 "), 42);
    EXPECT_EQ(ParseInteger(u"+7"), 7);
    EXPECT_EQ(ParseInteger(u"-3"), -3);
    EXPECT_EQ(ParseInteger(u"2147483647"), 2147483647);
    for (const char16_t* bad : {u"", u" ", u"4x", u"x4", u"1 2", u"+-1", u"--1", u"2147483648",
                                u"\uFF14", u"0x10", u"+"}) {
        EXPECT_FALSE(ParseInteger(bad)) << "a port must not read from this text";
    }
}
