#include "peer_text.h"

#include <gtest/gtest.h>

using namespace buspeer;

TEST(PeerText, EscapeAndUnescapeAreInverse) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(unescape(escape(all)), all);
    EXPECT_EQ(escape("cmdst()\r"), "cmdst()\\r");
    EXPECT_EQ(escape(std::string("a\0b", 3)), "a\\x00b");
    EXPECT_EQ(escape("\xB2\xE2"), "\\xB2\\xE2");
}

TEST(PeerText, BadEscapesAndHexAreRefused) {
    EXPECT_FALSE(unescape("ends with \\"));
    EXPECT_FALSE(unescape("\\q"));
    EXPECT_FALSE(unescape("\\x4"));
    EXPECT_EQ(parse_hex_bytes("01 02ff"), (std::vector<unsigned char>{1, 2, 0xFF}));
    EXPECT_EQ(parse_hex_bytes(""), std::vector<unsigned char>{});
    EXPECT_FALSE(parse_hex_bytes("0"));
    EXPECT_FALSE(parse_hex_bytes("zz"));
}
