#include "fields.h"
#include "library_views.h"

#include <gtest/gtest.h>

using namespace probe;
using Handles = std::vector<std::uint32_t>;

TEST(LibraryTitle, VersionBuildAndTheFixedTail) {
    EXPECT_EQ(library_title("1.2", "Mar 3"),
              "LUMO(1.2) Build(Mar 3) ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)");
    EXPECT_EQ(library_title("1.2", nullptr),
              "LUMO(1.2) Build() ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)");
    EXPECT_EQ(library_title(nullptr, nullptr),
              "LUMO() Build() ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)");
}

TEST(EndSessionTargets, EveryListedWindowButOwnAndZero) {
    std::string list = "000100A2 qel 0x00000200\r\n"
                       "00020064 test 0x00000000\r\n"
                       "total: 3\r\n"
                       "00000000 broken\r\n"
                       "3f0 qel_link";
    EXPECT_EQ(end_session_targets(list, 0x20064), (Handles{0x100A2, 0x3F0}));
    EXPECT_EQ(end_session_targets(list, 0x999), (Handles{0x100A2, 0x20064, 0x3F0}));
}

TEST(EndSessionTargets, CarriageReturnsAreDroppedEverywhere) {
    EXPECT_EQ(end_session_targets("1\r2 a\n\r\r\n", 0), (Handles{0x12}));
    EXPECT_TRUE(end_session_targets("", 0).empty());
    EXPECT_TRUE(end_session_targets("\n\n", 0).empty());
}

TEST(VariableNumber, DecimalPrefixOfTheFirst31Characters) {
    EXPECT_EQ(variable_number(""), 0u) << "an empty index box sets variable 0";
    EXPECT_EQ(variable_number("abc"), 0u);
    EXPECT_EQ(variable_number("12"), 12u);
    EXPECT_EQ(variable_number("  34x5"), 34u);
    EXPECT_EQ(variable_number("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(variable_number(std::string(31, '0') + "7"), 0u) << "the 32nd character is not read";
}

TEST(ReadUnsigned, NumbersRangeAndTheMessages) {
    EXPECT_EQ(read_unsigned("0", 255).value, 0u);
    EXPECT_EQ(read_unsigned(" 255 ", 255).value, 255u);
    EXPECT_EQ(read_unsigned("4294967295", 0xFFFFFFFF).value, 0xFFFFFFFFu);

    UnsignedField above = read_unsigned("256", 255);
    EXPECT_FALSE(above.value);
    EXPECT_EQ(above.problem, "Please enter an integer between 0 and 255.");
    for (const char* bad : {"", "  ", "-1", "1a", "4294967296", "99999999999999999999"}) {
        UnsignedField field = read_unsigned(bad, 0xFFFFFFFF);
        EXPECT_FALSE(field.value) << bad;
        EXPECT_EQ(field.problem, "Please enter an unsigned integer.") << bad;
    }
}
