// The tester's fault commands and how a run prints under them.
#include "run.h"
#include "tester_faults.h"

#include <gtest/gtest.h>

TEST(TesterRun, ExtraLinesChangingEndingsAndCut) {
    auto script = sim::parse_script("a\n@pause 100\nbcdef\ng\n");
    sim::script_run run(script, {12, std::string("A\0B", 3), 4});
    auto step = run.next("\r\n");
    EXPECT_EQ(step->bytes, "012345678901\r\n");
    EXPECT_EQ(step->note, "long 12 bytes");
    step = run.next("\n");
    EXPECT_EQ(step->bytes, std::string("A\0B\n", 4));
    EXPECT_EQ(step->note, "insert 41 00 42, eol lf");
    step = run.next("\n");
    EXPECT_EQ(step->bytes, "a\n");
    EXPECT_EQ(step->note, "") << "the same ending again is no news";
    EXPECT_EQ(run.next("\n")->pause_ms, 100);
    step = run.next("\r");
    EXPECT_EQ(step->bytes, "bcd") << "half of \"bcdef\\r\", the fourth printed line";
    EXPECT_EQ(step->note, "eol cr, cut: line 4 after 3 of 6 bytes, nothing more this run");
    EXPECT_FALSE(run.next("\r"));
    EXPECT_TRUE(run.cut());
}

TEST(TesterFaults, CommandsTakeEffectOnceAndMalformedOnesChangeNothing) {
    sim::tester_faults faults;
    for (const char* bad : {"eol crlfx", "eol", "ignore -1", "cut 2 3", "long x", "insert 4",
                            "insert 4 1", "raw", "raw zz", "cmdst()"}) {
        EXPECT_FALSE(faults.take(bad)) << bad;
    }
    EXPECT_EQ(faults.eol(), "\r\n");
    EXPECT_FALSE(faults.ignore_start());
    EXPECT_TRUE(faults.take_raw().empty());

    EXPECT_EQ(faults.take("insert 41 00 42 D6D0CEC4"), "fault insert 41 00 42 D6 D0 CE C4");
    EXPECT_EQ(faults.take("eol lf"), "fault eol lf");
    EXPECT_EQ(faults.eol(), "\n");
    faults.take("ignore 2");
    faults.take("cut 3");
    faults.take("raw 0d 0a");
    faults.take("raw 41");
    EXPECT_EQ(faults.take_raw(), (std::vector<std::uint8_t>{0x0D, 0x0A, 0x41}));
    EXPECT_TRUE(faults.take_raw().empty());
    EXPECT_TRUE(faults.ignore_start());
    EXPECT_TRUE(faults.ignore_start());
    EXPECT_FALSE(faults.ignore_start());
    auto extras = faults.take_extras();
    EXPECT_EQ(extras.insert, std::string("A\0B\xD6\xD0\xCE\xC4", 7));
    EXPECT_EQ(extras.cut, 3u);
    extras = faults.take_extras();
    EXPECT_FALSE(extras.insert) << "only the next run";
    EXPECT_EQ(extras.cut, 0u);
}
