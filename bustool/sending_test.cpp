#include "array_text.h"
#include "escapes.h"
#include "probe_tables.h"
#include "traffic_lines.h"
#include "type_word.h"

#include <gtest/gtest.h>

using namespace probe;
using Bytes = std::vector<std::uint8_t>;

TEST(ProbeTables, EveryListEntryHasItsBits) {
    const std::uint32_t directions[] = {0x10000000, 0x20000000, 0x40000000, 0x80000000};
    for (std::size_t i = 0; i < kDirectionList.size(); ++i) {
        EXPECT_EQ(direction_bits(kDirectionList[i]), directions[i]) << kDirectionList[i];
    }
    const std::uint32_t kinds[] = {0x800, 0x1000,   0x4000, 0x8000, 0x2000,
                                   0x100, 0x800000, 0x200,  0x400};
    for (std::size_t i = 0; i < kKindList.size(); ++i) {
        EXPECT_EQ(kind_bit(kKindList[i]), kinds[i]) << kKindList[i];
    }
}

TEST(ProbeTables, HandTypedTextMatchesExactlyOrAddsNothing) {
    EXPECT_EQ(direction_bits("read value"), 0u);
    EXPECT_EQ(direction_bits("Read Value "), 0u);
    EXPECT_EQ(kind_bit("timer"), 0u);
    EXPECT_EQ(kind_bit(""), 0u);
    EXPECT_EQ(value_type_word("Up", "Down", 7), 7u) << "channel bits only";
}

TEST(ProbeTables, SingleValueWordAndTheRefusedKinds) {
    EXPECT_EQ(value_type_word("Write Value", "Timer", 5), 0x20004005u);
    EXPECT_EQ(value_type_word("Write Para", "CONTROL", 0), 0x80800000u);
    // String or Array with a Value direction needs the fields below; a Para one does not.
    EXPECT_TRUE(bus::carries_payload(value_type_word("Read Value", "String", 1)));
    EXPECT_TRUE(bus::carries_payload(value_type_word("Write Value", "Array", 1)));
    EXPECT_FALSE(bus::carries_payload(value_type_word("Read Para", "String", 1)));
    EXPECT_EQ(string_type_word(0), 0x30000200u);
    EXPECT_EQ(array_type_word(255), 0x300004FFu);
}

TEST(ProbeTables, FilterMaskFollowsFieldOrder) {
    FilterFlags none{};
    EXPECT_EQ(filter_mask(none), 0u);
    const std::uint32_t bits[] = {0x1000, 0x8000,   0x800, 0x4000, 0x2000,
                                  0x400,  0x800000, 0x200, 0x100};
    for (std::size_t i = 0; i < kFilterCount; ++i) {
        FilterFlags one{};
        one[i] = true;
        EXPECT_EQ(filter_mask(one), bits[i]) << "box " << i;
    }
    FilterFlags all;
    all.fill(true);
    EXPECT_EQ(filter_mask(all), 0x80FF00u);
}

TEST(Escapes, TypedPairsBecomeControlsAndBack) {
    EXPECT_EQ(unescape_controls("a\\tb"), "a\tb");
    EXPECT_EQ(unescape_controls("\\n\\r\\t\\a\\b"), "\n\r\t\a\b");
    EXPECT_EQ(unescape_controls("\\x\\"), "\\x\\") << "other pairs and a lone backslash stay";
    EXPECT_EQ(unescape_controls("\\\\n"), "\\\n") << "scanned left to right";
    EXPECT_EQ(unescape_controls(""), "");
    EXPECT_EQ(escape_controls("line\r\n\tx\a\b"), "line\\r\\n\\tx\\a\\b");
    EXPECT_EQ(escape_controls(std::string("no\x01change")), std::string("no\x01change"));
}

TEST(ArrayText, EachSpaceOpensOneByte) {
    EXPECT_EQ(parse_array_text("01 05 09 00 02 09 00 00 01 03 03"),
              (Bytes{1, 5, 9, 0, 2, 9, 0, 0, 1, 3, 3}));
    EXPECT_EQ(parse_array_text(" "), (Bytes{0, 0}));
    EXPECT_EQ(parse_array_text("0102"), (Bytes{0x02}));
    EXPECT_EQ(parse_array_text("1FF"), (Bytes{0xFF}));
    EXPECT_EQ(parse_array_text("ab  cD "), (Bytes{0xAB, 0, 0xCD, 0}));
    EXPECT_EQ(parse_array_text("zz 7g"), (Bytes{0, 7})) << "parsing stops at a non-digit";
    EXPECT_EQ(parse_array_text("123456789abcdef12"), (Bytes{0x12})) << "low 8 bits of a long one";
    EXPECT_EQ(parse_array_text("1\t2"), (Bytes{1})) << "only spaces separate";
}

TEST(ArrayText, AtMostTwentyBytes) {
    std::string text;
    for (int i = 1; i <= 25; ++i) {
        text += std::to_string(i) + " ";
    }
    Bytes bytes = parse_array_text(text);
    ASSERT_EQ(bytes.size(), kMaxArrayBytes);
    EXPECT_EQ(bytes.front(), 0x01);
    EXPECT_EQ(bytes.back(), 0x20) << "the twentieth value, read as hexadecimal";
}

TEST(EchoLines, FormatsOfTheThreeSends) {
    EXPECT_EQ(value_echo(0x20004005, 0xABCDEF), "20004005      abcdef");
    EXPECT_EQ(value_echo(5, 0), "5      0");
    EXPECT_EQ(string_echo(0x30000201, "a\\tb"), "30000201(  4) a\\tb")
        << "the text as typed, before its escapes are converted";
    EXPECT_EQ(string_echo(0x30000200, ""), "30000200(  0) ");
    EXPECT_EQ(array_echo(0x30000403, Bytes{0x01, 0xAB, 0x00}), "30000403(  3) 01 AB 00");
    EXPECT_EQ(array_echo(0x30000400, Bytes{}), "30000400(  0)");
}
