#include "judgement.h"

#include <gtest/gtest.h>

namespace {

// One group judged on a fresh record.
CJudgement Judge(std::u16string_view group) {
    CJudgement judge;
    judge.JudgeGroup(group);
    return judge;
}

// The single line a group adds, from whichever text it landed in; empty when none.
std::u16string OnlyLine(const CJudgement& judge) {
    std::u16string line;
    for (int i = 0; i < CJudgement::kStations; ++i) {
        line += judge.m_passText[i] + judge.m_errText[i];
    }
    return line;
}

TEST(JudgeGroup, PassingGroupGoesToItsStationsPassText) {
    const CJudgement judge = Judge(u"show:1/R12_2/x/1.02/1.10/0.90/a/kOhm/b");
    EXPECT_EQ(judge.m_passText[1], u"2# PASS R12=1.020kOhm range=0.900___1.100");
    EXPECT_EQ(OnlyLine(judge), judge.m_passText[1]);
}

TEST(JudgeGroup, FailingGroupGoesToItsStationsErrorText) {
    const CJudgement judge = Judge(u"show:1/R12_2/x/1.2/1.10/0.90/a/kOhm/b");
    EXPECT_EQ(judge.m_errText[1], u"2# 错误 R12=1.200kOhm 范围=0.900___1.100");
    EXPECT_EQ(OnlyLine(judge), judge.m_errText[1]);
}

TEST(JudgeGroup, LimitsAreInclusiveInEitherOrder) {
    struct Case {
        const char16_t* limits;
        const char16_t* value;
        bool pass;
    };
    for (const Case& c : {Case{u"1.10/0.90", u"0.90", true}, Case{u"0.90/1.10", u"0.90", true},
                          Case{u"1.10/0.90", u"1.10", true}, Case{u"0.90/1.10", u"1.10", true},
                          Case{u"1.10/0.90", u"0.899", false}, Case{u"0.90/1.10", u"1.101", false},
                          Case{u"-1/-3", u"-2", true}, Case{u"2/2", u"2", true}}) {
        const std::u16string group =
            std::u16string(u"show 0/R/x/") + c.value + u"/" + c.limits + u"/t/V/";
        const CJudgement judge = Judge(group);
        EXPECT_EQ(judge.m_passText[0].empty(), !c.pass) << std::string(group.begin(), group.end());
        EXPECT_EQ(judge.m_errText[0].empty(), c.pass);
    }
}

TEST(JudgeGroup, ComparesAfterNarrowingToSinglePrecision) {
    // 1.1000000001 > 1.1 as doubles, but both are the same float.
    EXPECT_EQ(Judge(u"show:1/R/x/1.1000000001/1.1/0.9/a/V/b").m_passText[0],
              u"1# PASS R=1.100V range=0.900___1.100");
    // Beyond the float range reads as infinity (no undefined cast): it fails finite limits
    // and passes infinite ones.
    EXPECT_EQ(Judge(u"show:1/R/x/1e39/1/0/a/V/b").m_errText[0],
              u"1# 错误 R=infV 范围=0.000___1.000");
    EXPECT_EQ(Judge(u"show:1/R/x/-1e999/0/-1e39/a/V/b").m_passText[0],
              u"1# PASS R=-infV range=-inf___0.000");
}

TEST(JudgeGroup, NotANumberFailsWhateverTheLimits) {
    EXPECT_EQ(Judge(u"show:1/R/x/nan/inf/-inf/a/V/b").m_errText[0],
              u"1# 错误 R=nanV 范围=-inf___inf");
    EXPECT_FALSE(Judge(u"show:1/R/x/0/NaN/-1/a/V/b").m_errText[0].empty());
    EXPECT_FALSE(Judge(u"show:1/R/x/0/1/nan(7)/a/V/b").m_errText[0].empty());
    EXPECT_EQ(Judge(u"show:1/R/x/-Infinity/0/-INF/a/V/b").m_passText[0],
              u"1# PASS R=-infV range=-inf___0.000");
}

// How numbers read is ReadNumber's own test; here, what the judgement makes of a value
// field with no number in it.
TEST(JudgeGroup, ValueWithoutANumberFails) {
    // No number at all: printed as 0, and failed, though 0 lies within the limits.
    for (const char16_t* value : {u"abc", u".", u"e5", u"none", u"", u" - "}) {
        const std::u16string group = std::u16string(u"show:1/R/x/") + value + u"/1e9/-1e9/a/V/b";
        EXPECT_EQ(Judge(group).m_errText[0],
                  u"1# 错误 R=0.000V 范围=-1000000000.000___1000000000.000");
    }
}

TEST(JudgeGroup, StationComesFromTheNameSuffix) {
    struct Case {
        const char16_t* name;
        int index;
        const char16_t* printed;
    };
    for (const Case& c :
         {Case{u"R1", 0, u"R1"}, Case{u"R1_0", 0, u"R1"}, Case{u"R1_1", 0, u"R1"},
          Case{u"R1_3", 2, u"R1"}, Case{u"R1_4", 3, u"R1"}, Case{u"R1_7", 3, u"R1"},
          Case{u"R_1_2", 0, u"R"}, Case{u"R1_ 3x", 2, u"R1"}, Case{u"R1_x", 0, u"R1"},
          Case{u"R1_-2", 0, u"R1"}, Case{u"R1_99999999999999", 3, u"R1"}, Case{u"_2", 1, u""}}) {
        const CJudgement judge = Judge(std::u16string(u"show:1/") + c.name + u"/x/1/2/0/a/V/b");
        const std::u16string expected = std::u16string(1, char16_t(u'1' + c.index)) + u"# PASS " +
                                        c.printed + u"=1.000V range=0.000___2.000";
        EXPECT_EQ(judge.m_passText[c.index], expected);
        EXPECT_EQ(OnlyLine(judge), expected);
    }
}

TEST(JudgeGroup, UnitIsBetweenTheLastTwoSlashesOfTheTail) {
    EXPECT_EQ(Judge(u"show:1/R/x/1/2/0/a/b/mA/c").m_passText[0],
              u"1# PASS R=1.000mA range=0.000___2.000");
    EXPECT_EQ(Judge(u"show:1/R/x/1/2/0//mA/").m_passText[0],
              u"1# PASS R=1.000mA range=0.000___2.000");
    EXPECT_EQ(Judge(u"show:1/R/x/1/2/0/a//b").m_passText[0],
              u"1# PASS R=1.000 range=0.000___2.000");
}

TEST(JudgeGroup, IgnoresGroupsThatAreNotMeasurements) {
    for (const char16_t* group :
         {u"Show:1/R/x/1/2/0/a/V/b", u" show:1/R/x/1/2/0/a/V/b", u"show", u"sho",
          u"show:1/R/x/1.02/1.10/0.90/kOhm/",                         // one "/" in the tail
          u"show:1/R/x/1.02/1.10/0.90/kOhm",                          // none
          u"show:1/R/x/1.02/1.10/0.90",                               // no tail
          u"show:1/R/x/1.02", u"show:1", u"show:1//x/1/2/0/a/V/b"}) { // empty name
        EXPECT_EQ(OnlyLine(Judge(group)), u"") << std::string(group, group + 4);
    }
}

TEST(JudgeGroup, LinesOfOneStationAreJoinedByCrLf) {
    CJudgement judge;
    judge.JudgeGroup(u"show:1/A_3/x/5/2/0/a/V/b");
    judge.JudgeGroup(u"show:1/B_3/x/1/2/0/a/V/b");
    judge.JudgeGroup(u"show:1/C_3/x/-5/2/0/a/V/b");
    EXPECT_EQ(judge.m_errText[2],
              u"3# 错误 A=5.000V 范围=0.000___2.000\r\n3# 错误 C=-5.000V 范围=0.000___2.000");
    EXPECT_EQ(judge.m_passText[2], u"3# PASS B=1.000V range=0.000___2.000");
}

TEST(JudgeText, JudgesEveryGroupBetweenBracesInOrder) {
    CJudgement judge;
    judge.m_errText[3] = u"left over";
    judge.JudgeText(u"noise {show:1/A/x/1/2/0/a/V/b}\r\n{other}{show:1/B_2/x/9/2/0/a/V/b} "
                    u"{a{show:1/C/x/9/2/0/a/V/b}{show:1/D/x/0/2/0/a/V/b}tail");
    EXPECT_EQ(judge.m_stationCount, 4);
    EXPECT_EQ(judge.m_passText[0],
              u"1# PASS A=1.000V range=0.000___2.000\r\n1# PASS D=0.000V range=0.000___2.000");
    EXPECT_EQ(judge.m_errText[1], u"2# 错误 B=9.000V 范围=0.000___2.000");
    EXPECT_EQ(judge.m_errText[0], u""); // "{a{show..." starts with "a"
    EXPECT_EQ(judge.m_errText[3], u"");
    EXPECT_EQ(judge.m_findPos, static_cast<int32_t>(judge.m_text.find(u"tail")));
}

TEST(JudgeText, EmptyGroupOrUnclosedBraceEndsTheScan) {
    CJudgement judge;
    judge.JudgeText(u"{show:1/A/x/1/2/0/a/V/b}{}{show:1/B/x/1/2/0/a/V/b}");
    EXPECT_EQ(judge.m_passText[0], u"1# PASS A=1.000V range=0.000___2.000");
    judge.JudgeText(u"{show:1/A/x/9/2/0/a/V/b}{show:1/B/x/1/2/0/a/V/b");
    EXPECT_EQ(judge.m_passText[0], u"");
    EXPECT_EQ(judge.m_errText[0], u"1# 错误 A=9.000V 范围=0.000___2.000");
}

TEST(JudgeText, TextWithoutGroupsLeavesEveryStationClean) {
    CJudgement judge;
    judge.JudgeText(u"{show:1/A_4/x/9/2/0/a/V/b}");
    judge.JudgeText(u"no groups\r\n");
    for (int i = 0; i < CJudgement::kStations; ++i) {
        EXPECT_EQ(judge.m_errText[i], u"");
        EXPECT_EQ(judge.m_passText[i], u"");
    }
    EXPECT_EQ(judge.m_findPos, 0);
    EXPECT_EQ(judge.m_text, u"no groups\r\n");
}

} // namespace
