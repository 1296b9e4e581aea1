#include "traffic_lines.h"

#include <gtest/gtest.h>

using namespace probe;

namespace {

// A library stand-in: one payload, and a record of the handles asked for.
struct FakeLibrary {
    std::string payload;
    std::vector<std::uint32_t> asked{};
    FetchPayload fetch() {
        return [this](std::uint32_t handle) {
            asked.push_back(handle);
            return std::string_view(payload);
        };
    }
};

} // namespace

TEST(IncomingLine, StringShowsCountAndTextOnOneLine) {
    FakeLibrary lib{"hi\tthere\r\n\a\b"};
    EXPECT_EQ(incoming_line(42, 0x100002FF, 7, lib.fetch()),
              "00042 100002ff[ 12] hi\\tthere\\r\\n\\a\\b");
    EXPECT_EQ(lib.asked, std::vector<std::uint32_t>{7});
}

TEST(IncomingLine, StringTextEndsAtZeroByteButCountIsWhole) {
    FakeLibrary lib{std::string("ab\0cd", 5)};
    EXPECT_EQ(incoming_line(123456, 0x20000200, 1, lib.fetch()), "123456 20000200[  5] ab");
}

TEST(IncomingLine, EmptyOrMissingPayload) {
    FakeLibrary lib{""};
    EXPECT_EQ(incoming_line(0, 0x10000201, 1, lib.fetch()), "00000 10000201[  0] ");
    EXPECT_EQ(incoming_line(0, 0x10000401, 1, lib.fetch()), "00000 10000401(  0) ");
}

TEST(IncomingLine, ArrayShowsFullCountAndFirstEighteenBytes) {
    FakeLibrary lib;
    for (int i = 0; i < 30; ++i) {
        lib.payload += static_cast<char>(0xE0 + i);
    }
    std::string line = incoming_line(5, 0x10000400, 9, lib.fetch());
    EXPECT_EQ(line, "00005 10000400( 30)  E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F0 F1");
}

TEST(IncomingLine, StringAndArrayBitsTogetherTakeTheStringForm) {
    FakeLibrary lib{"x"};
    EXPECT_EQ(incoming_line(1, 0x10000600, 3, lib.fetch()), "00001 10000600[  1] x");
}

TEST(IncomingLine, OtherWordsShowTheSignedValueWithoutFetching) {
    FakeLibrary lib{"unused"};
    EXPECT_EQ(incoming_line(7, 0x10004007, 0xFFFFFFFF, lib.fetch()), "00007 10004007      -1");
    EXPECT_EQ(incoming_line(7, 0x40000200, 12, lib.fetch()), "00007 40000200      12")
        << "String kind with a Para direction carries a value";
    EXPECT_EQ(incoming_line(7, 0x80800000, 0, lib.fetch()), "00007 80800000      0");
    EXPECT_TRUE(lib.asked.empty());
}

TEST(TickGap, FirstGapIsTheTickCountAndGapsWrap) {
    TickGap gap;
    EXPECT_EQ(gap.next(1000), 1000u);
    EXPECT_EQ(gap.next(1250), 250u);
    EXPECT_EQ(gap.next(0xFFFFFFF0), 0xFFFFFFF0u - 1250u);
    EXPECT_EQ(gap.next(0x10), 0x20u) << "across the 49-day wrap";
}
