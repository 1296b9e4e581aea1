#include "traffic_rows.h"

#include <gtest/gtest.h>

using namespace probe;

TEST(TrafficRows, LineGoesIntoCurrentRowFollowedByBlankRow) {
    TrafficRows rows;
    rows.add_line("one");
    rows.add_line("two");
    Band band = rows.add_line("three");
    EXPECT_EQ(rows.row(0), "one");
    EXPECT_EQ(rows.row(2), "three");
    EXPECT_EQ(rows.current_row(), 3);
    EXPECT_EQ(band.top, 32) << "the band starts at the written row";
    EXPECT_EQ(band.height, 32) << "and covers the blank row after it";
}

TEST(TrafficRows, WrapAtFortyLines) {
    TrafficRows rows;
    for (int i = 0; i < 39; ++i) {
        rows.add_line("line " + std::to_string(i));
    }
    EXPECT_EQ(rows.first_number(), 0u);
    Band band = rows.add_line("line 39");
    EXPECT_EQ(band.top, 39 * 16) << "the band at the wrap starts at row 39";
    EXPECT_EQ(rows.first_number(), 40u);
    EXPECT_EQ(rows.current_row(), 0);
    EXPECT_EQ(rows.row(0), "") << "row 0 is emptied in the data";
    EXPECT_EQ(rows.row(39), "line 39");

    band = rows.add_line("line 40");
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(rows.row(0), "line 40");
    EXPECT_EQ(rows.row(1), "") << "row 1 becomes the blank row";
    EXPECT_EQ(rows.row(2), "line 2") << "older lines stay until overwritten";
    EXPECT_EQ(rows.row_label(2), "    42") << "every row numbered from the new first number";
}

TEST(TrafficRows, LongTextIsCutTo126Characters) {
    TrafficRows rows;
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    rows.add_line(text);
    EXPECT_EQ(rows.row(0), text.substr(0, 126));
    rows.add_line(std::string("ab\0cd", 5));
    EXPECT_EQ(rows.row(1), "ab") << "a row is zero-terminated";
}

TEST(TrafficRows, ClearEmptiesEverythingAndRestartsNumbers) {
    TrafficRows rows;
    for (int i = 0; i < 45; ++i) {
        rows.add_line("x");
    }
    rows.clear();
    EXPECT_EQ(rows.first_number(), 0u);
    EXPECT_EQ(rows.current_row(), 0);
    for (int r = 0; r < TrafficRows::kRows; ++r) {
        EXPECT_EQ(rows.row(r), "") << "row " << r;
    }
}

TEST(TrafficRows, LabelsGeometryAndListing) {
    TrafficRows rows;
    EXPECT_EQ(rows.row_label(7), "     7");
    EXPECT_EQ(TrafficRows::text_x(rows.row_label(7)), 56);
    EXPECT_EQ(TrafficRows::text_x("1234567"), 64) << "a longer number moves the text right";
    EXPECT_EQ(TrafficRows::row_y(39), 624);

    rows.add_line("hello");
    std::string listing = rows.listing();
    EXPECT_EQ(listing.substr(0, 23), "     0 hello\r\n     1 \r\n");
    EXPECT_NE(listing.find("    39 \r\n"), std::string::npos);
}
