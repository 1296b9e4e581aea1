#include "line_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bridge;

namespace {

class AssembleLine : public ::testing::Test {
protected:
    // The lines the bytes finish.
    std::vector<std::string> feed(const std::string& bytes) {
        std::vector<std::string> finished;
        for (char c : bytes) {
            if (auto line = lines.assemble_line(static_cast<std::uint8_t>(c))) {
                finished.emplace_back(*line);
            }
        }
        return finished;
    }
    using Lines = std::vector<std::string>;
    line_assembler lines;
};

} // namespace

TEST_F(AssembleLine, CrDroppedLfEndsEmptyLinesSkipped) {
    EXPECT_EQ(feed("PASS\r\nFAIL\n\n"), (Lines{"PASS", "FAIL"}));
    EXPECT_TRUE(feed("\r\n\n\r").empty());
    EXPECT_EQ(feed("a\rb\n"), Lines{"ab"}) << "CR inside a line is dropped too";
}

TEST_F(AssembleLine, LineSplitAcrossChunksIsFinishedOnceWhole) {
    EXPECT_TRUE(feed("{show:1/R12_2/x/1.0").empty());
    EXPECT_TRUE(feed("2/1.10/0.90/a/kOhm/b}\r").empty());
    EXPECT_EQ(feed("\n"), Lines{"{show:1/R12_2/x/1.02/1.10/0.90/a/kOhm/b}"});
}

TEST_F(AssembleLine, LongLineKeepsItsFirst2047Bytes) {
    std::string line(3000, 'x');
    for (std::size_t i = 0; i < line.size(); ++i) {
        line[i] = static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(feed(line + "\n"), Lines{line.substr(0, 2047)});
    EXPECT_EQ(feed("next\n"), Lines{"next"}) << "the overflow does not leak on";
}
