#include "line_assembler.h"
#include "link_test_doubles.h"

#include <gtest/gtest.h>

using namespace bridge;
using namespace bridge::testing;

namespace {

class AssembleLine : public ::testing::Test {
protected:
    void feed(const std::string& bytes) {
        for (char c : bytes) {
            lines.assemble_line(static_cast<std::uint8_t>(c));
        }
    }
    void SetUp() override { watch.start(20); }
    recording_bus bus;
    run_watch watch;
    line_assembler lines{bus, watch};
};

} // namespace

TEST_F(AssembleLine, CrDroppedLfEndsEmptyLinesSkipped) {
    feed("PASS\r\nFAIL\n\n");
    EXPECT_EQ(bus.take(), (std::vector{keyword("PASS"), keyword("FAIL")}));
    feed("\r\n\n\r");
    EXPECT_TRUE(bus.take().empty());
    feed("a\rb\n");
    EXPECT_EQ(bus.take(), std::vector{keyword("ab")}) << "CR inside a line is dropped too";
    EXPECT_EQ(watch.left(), 20);
}

TEST_F(AssembleLine, LineSplitAcrossChunksIsPostedOnceWhole) {
    feed("{show:1/R12_2/x/1.0");
    EXPECT_TRUE(bus.take().empty());
    feed("2/1.10/0.90/a/kOhm/b}\r");
    EXPECT_TRUE(bus.take().empty());
    feed("\n");
    EXPECT_EQ(bus.take(), std::vector{keyword("{show:1/R12_2/x/1.02/1.10/0.90/a/kOhm/b}")});
}

TEST_F(AssembleLine, EndMarkerPostsLineThenQelEndAndCancelsWatch) {
    feed("done {clear//} ok\r\n");
    EXPECT_EQ(bus.take(), (std::vector{keyword("done {clear//} ok"), keyword("qel_end")}));
    EXPECT_EQ(watch.left(), 0);
    watch.start(5);
    feed("{clear/}\n{CLEAR//}\n");
    EXPECT_EQ(bus.take(), (std::vector{keyword("{clear/}"), keyword("{CLEAR//}")}));
    EXPECT_EQ(watch.left(), 5);
}

TEST_F(AssembleLine, LongLineKeepsItsFirst2047Bytes) {
    std::string line(3000, 'x');
    for (std::size_t i = 0; i < line.size(); ++i) {
        line[i] = static_cast<char>('a' + i % 26);
    }
    feed(line + "\n");
    auto posts = bus.take();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].bytes, line.substr(0, 2047));
    feed("next\n");
    EXPECT_EQ(bus.take(), std::vector{keyword("next")}) << "the overflow does not leak on";
}

TEST_F(AssembleLine, MarkerPastTheCutIsNotSeen) {
    feed(std::string(2047, '-') + "{clear//}\n");
    auto posts = bus.take();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(watch.left(), 20);
}
