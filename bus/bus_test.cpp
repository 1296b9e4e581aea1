#include "keywords.h"
#include "type_word.h"

#include <gtest/gtest.h>

using namespace bus;

TEST(TypeWord, StationTypeWordsAndChannelCut) {
    EXPECT_EQ(kControllerKeyword, 0x200002FFu);
    EXPECT_EQ(kBridgeKeyword, 0x100002FFu);
    EXPECT_EQ(kBridgeDiagnostic, 0x100002FBu);
    EXPECT_EQ(kBridgeFrame, 0x10000400u);
    EXPECT_EQ(kStopAll, 0x80800000u);
    EXPECT_EQ(compose(kControllerText, 0x1FF), 0x200002FFu);
    EXPECT_EQ(compose(kBridgeBytes, 0x100), 0x10000400u);
}

TEST(TypeWord, PayloadRuleNeedsDataKindAndValueDirection) {
    EXPECT_TRUE(carries_payload(0x200002FF));
    EXPECT_TRUE(carries_payload(0x10000400));
    EXPECT_TRUE(carries_payload(0x30000201));
    EXPECT_FALSE(carries_payload(0x40000200)) << "Read Para text carries its value";
    EXPECT_FALSE(carries_payload(0x80000400));
    EXPECT_FALSE(carries_payload(0x10004000)) << "a Timer value";
    EXPECT_FALSE(carries_payload(kStopAll));
}

TEST(TypeWord, ReceiveFiltersOfControllerAndBridge) {
    EXPECT_TRUE(controller_accepts(0x100002FF));
    EXPECT_TRUE(controller_accepts(0x300002FF));
    EXPECT_FALSE(controller_accepts(0x200002FF)) << "its own posts";
    EXPECT_FALSE(controller_accepts(0x100002FB)) << "diagnostics";
    EXPECT_FALSE(controller_accepts(0x10000400)) << "raw frames";
    EXPECT_FALSE(controller_accepts(0x100004FF));

    EXPECT_TRUE(bridge_accepts(0x200002FF));
    EXPECT_TRUE(bridge_accepts(0x300002FF));
    EXPECT_FALSE(bridge_accepts(0x100002FF)) << "another bridge's posts";
    EXPECT_FALSE(bridge_accepts(0x200002FE));
    EXPECT_FALSE(bridge_accepts(0x200004FF));
}

TEST(Keywords, PoweringUpFormatAndParse) {
    EXPECT_EQ(keyword::powering_up(0), "powering_up_0");
    EXPECT_EQ(keyword::powering_up(3), "powering_up_3");
    EXPECT_EQ(keyword::powering_up_index("powering_up_2"), 2);
    EXPECT_EQ(keyword::powering_up_index("powering_up_7"), 7);
    EXPECT_EQ(keyword::powering_up_index("powering_up_x"), 0) << "a non-digit reads as 0";
    EXPECT_FALSE(keyword::powering_up_index("powering_up_"));
    EXPECT_FALSE(keyword::powering_up_index("powering_up_12"));
    EXPECT_FALSE(keyword::powering_up_index("Powering_up_1"));
}
