#include "judgement_number.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The C library's reading of the same text, narrowed the same way.
float Strtof(const std::string& text) {
    return ToSingle(std::strtod(text.c_str(), nullptr));
}

// Same float, or both NaN.
bool Same(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

TEST(ReadNumber, AgreesWithStrtodOnDecimalsOfEveryLength) {
    // Short decimals take the quick path, long or extreme ones the library's: both must give
    // what strtod gives, down to the last bit, before and after narrowing.
    std::mt19937_64 random(20251027);
    const char* const formats[] = {"%.*f", "%.*e", "%.*g"};
    for (int i = 0; i < 40000; ++i) {
        const int precision = static_cast<int>(random() % 25);
        const double magnitude = std::ldexp(static_cast<double>(random() >> 11) / 0x1p53,
                                            static_cast<int>(random() % 160) - 80);
        const double source = random() % 2 ? -magnitude : magnitude;
        char text[512];
        std::snprintf(text, sizeof text, formats[random() % 3], precision, source);
        const double expected = std::strtod(text, nullptr);
        const double read = ReadNumber(Wide(text));
        ASSERT_EQ(read, expected) << text;
        ASSERT_TRUE(Same(ToSingle(read), Strtof(text))) << text;
    }
}

TEST(ReadNumber, TakesWhatStrtodTakesAndStopsWhereItStops) {
    for (const char* text : {"1.02",
                             " \t\n+1.5e1xyz",
                             "-0",
                             "-0.0005",
                             "2e",
                             "3e+",
                             "4e-x",
                             ".5",
                             "7.",
                             "1.2.3",
                             "000000000000000000000000001.5",
                             "0.0000000000000000000000000000123",
                             "12345678901234567890123",
                             "9007199254740993",
                             "9007199254740992.5",
                             "1e22",
                             "1e23",
                             "123456789e-22",
                             "1e-400",
                             "1e400",
                             "-1e400",
                             "1e999999999999",
                             "0e999999999999",
                             "3.4028235677973366e38",
                             "3.4028236e38",
                             "1.1000000001",
                             "25E-1",
                             "inf",
                             "-INF",
                             "Infinity",
                             "infx",
                             "nan",
                             "-NaN",
                             "nan(123)",
                             "nanx",
                             "in",
                             "",
                             ".",
                             "-",
                             "+.e5",
                             "abc",
                             "e5",
                             "-abc",
                             "-.",
                             "-in",
                             "-e5",
                             "\v\f 8"}) {
        EXPECT_TRUE(Same(ToSingle(ReadNumber(Wide(text))), Strtof(text))) << '"' << text << '"';
    }
}

TEST(ReadNumber, ReadsDecimalsOnlyAndAsciiOnly) {
    EXPECT_EQ(ReadNumber(u"0x10"), 0.0) << "hexadecimal is not decimal";
    EXPECT_EQ(ReadNumber(u"１２"), 0.0) << "full-width digits are not digits";
    EXPECT_EQ(ReadNumber(u"12３"), 12.0);
}

TEST(ReadInteger, ReadsAsAtoiDoesAndSaturates) {
    EXPECT_EQ(ReadInteger(u" \t-12x"), -12);
    EXPECT_EQ(ReadInteger(u"+7"), 7);
    EXPECT_EQ(ReadInteger(u"x7"), 0);
    EXPECT_EQ(ReadInteger(u""), 0);
    EXPECT_EQ(ReadInteger(u"99999999999999999999"), 2147483647);
    EXPECT_EQ(ReadInteger(u"-99999999999999999999"), -2147483648LL);
}

TEST(ToSingle, RoundsToNearestAndOverflowsToInfinity) {
    EXPECT_EQ(ToSingle(1.1), 1.1f);
    EXPECT_EQ(ToSingle(FLT_MAX), FLT_MAX);
    EXPECT_EQ(ToSingle(static_cast<double>(FLT_MAX) + 0x1p102), FLT_MAX) << "below half an ulp";
    EXPECT_EQ(ToSingle(static_cast<double>(FLT_MAX) + 0x1p103), INFINITY);
    EXPECT_EQ(ToSingle(-1e300), -INFINITY);
    EXPECT_TRUE(std::isnan(ToSingle(NAN)));
}

} // namespace
