#include "script.h"

#include <gtest/gtest.h>

TEST(TesterScript, LinesPausesAndLineEnds) {
    auto steps = sim::parse_script("one\r\n@pause 250\n\n{clear//}\r\n@pause x\nlast");
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].line, "one");
    EXPECT_EQ(steps[1].pause_ms, 250);
    EXPECT_EQ(steps[2].line, "") << "the tester may print empty lines";
    EXPECT_EQ(steps[3].line, "{clear//}");
    EXPECT_EQ(steps[4].line, "last") << "a bad pause is dropped; no newline at the end";
    EXPECT_EQ(steps[4].pause_ms, 0);
}

TEST(TesterScript, StartCommandFoundHoweverSplit) {
    sim::start_watch watch;
    int starts = 0;
    for (char c : std::string("cmcmdst()\rxxcmdst()cmdst()\r\rcmdst()\n")) {
        starts += watch.feed(static_cast<std::uint8_t>(c)) ? 1 : 0;
    }
    EXPECT_EQ(starts, 2);
}
