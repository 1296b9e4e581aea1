#include "run_log_line.h"

#include <gtest/gtest.h>

namespace progtool {
namespace {

// The soak matches these lines with awk; a field that moves or splits breaks its checks.
TEST(RunLogLine, LinesCarryTheRunsFieldsInUnixTime) {
    // 2026-12-07 21:05:00.042 UTC as a file time.
    const std::int64_t at = unix_ms(134411511000420000ULL);
    EXPECT_EQ(at, 1796677500042);
    EXPECT_EQ(start_line(4242, at - 1005, at),
              "start pid=4242 at=1796677500.042 created=1796677499.037\n");
    EXPECT_EQ(took_line(7, at, "pass"), "took pid=7 at=1796677500.042 mode=pass\n");
    EXPECT_EQ(end_line(7, at, result_word(mode::pass), 0),
              "end pid=7 at=1796677500.042 wrote=ok exit=0\n");
    EXPECT_EQ(end_line(7, at, result_word(mode::none), 2),
              "end pid=7 at=1796677500.042 wrote=nothing exit=2\n");
}

TEST(RunLogLine, AWordThatWouldSplitTheLineIsMasked) {
    EXPECT_EQ(took_line(1, 0, "pa ss\r\n\xE5"), "took pid=1 at=0.000 mode=pa?ss???\n");
    EXPECT_EQ(took_line(1, 0, ""), "took pid=1 at=0.000 mode=?\n");
}

} // namespace
} // namespace progtool
