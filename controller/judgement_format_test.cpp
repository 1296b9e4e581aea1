#include "judgement_format.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <gtest/gtest.h>

namespace {

std::u16string Fixed3(float value) {
    Fixed3Room room;
    return std::u16string(FormatFixed3(value, room));
}

// The library's own "%.3f", the reference for the fast path.
std::u16string Reference(float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    return std::u16string(text, result.ptr);
}

TEST(FormatFixed3, MatchesPrintfIncludingTiesSignsAndExtremes) {
    EXPECT_EQ(Fixed3(1.02f), u"1.020");
    EXPECT_EQ(Fixed3(0.0625f), u"0.062"); // an exact tie goes to even
    EXPECT_EQ(Fixed3(0.1875f), u"0.188");
    EXPECT_EQ(Fixed3(-0.0004f), u"-0.000");
    EXPECT_EQ(Fixed3(-0.0f), u"-0.000");
    EXPECT_EQ(Fixed3(INFINITY), u"inf");
    EXPECT_EQ(Fixed3(-INFINITY), u"-inf");
    for (const float value : {1e-45f, 0.0005f, 0.9995f, 123456.789f, 8.9e12f, 9.1e12f, 3.4e38f,
                              -2.5e-3f, -1e20f, 16777217.0f, FLT_MAX, -FLT_MAX}) {
        EXPECT_EQ(Fixed3(value), Reference(value)) << value;
    }
    // Every multiple of 1/16 up to 64 (many ties) and a sweep of ordinary values.
    for (int i = -1024; i <= 1024; ++i) {
        EXPECT_EQ(Fixed3(i / 16.0f), Reference(i / 16.0f)) << i;
    }
    for (float value = 1e-4f; value < 1e7f; value *= 1.0137f) {
        ASSERT_EQ(Fixed3(value), Reference(value)) << value;
        ASSERT_EQ(Fixed3(-value), Reference(-value)) << value;
    }
}

} // namespace
