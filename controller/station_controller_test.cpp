#include "station_controller.h"

#include "codepage.h"
#include "keywords.h"
#include "posix/posix_file_system.h"
#include "posix/temp_folder.h"
#include "resources.h"
#include "station_controller_fakes.h"
#include "type_word.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::u16string>;

const std::u16string kRuleLine(57, u'-');
const std::u16string kResultPath = u"d:\\result.txt";

std::string Group(int station, const char* value) {
    return std::string("{show:1/R1_") + std::to_string(station) + "/x/" + value +
           "/1.10/0.90/a/kOhm/b}";
}

} // namespace

// Whole cycles: fake window and command, real records in a temporary drive D:.
class CycleTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_drive.empty());
        m_files.MapDrive(u'D', m_drive);
        qel.m_settings.programExecute = u"prog.exe /all";
        qel.m_settings.programResult = kResultPath;
        shell.qr = {u"Q1", u"Q2", u"Q3", u"Q4"};
    }

    void Bus(std::string_view text, uint32_t type = bus::kBridgeKeyword) {
        qel.OnBusEvent(type, text);
    }
    // A test started by the button, the tester's lines, then its end.
    void RunTest(std::initializer_list<std::string> lines) {
        qel.OnTest();
        for (const std::string& line : lines) {
            Bus(line);
        }
        Mark();
        Bus(bus::keyword::kQelEnd);
    }
    // Starts the command for the powered station and lets it end with `result` on file.
    void Program(const char* result) {
        Bus(bus::keyword::kPowered);
        if (result) {
            std::ofstream(m_drive / "result.txt") << result;
        }
        process.state = ProcessPoll::Ended;
        Mark();
        qel.OnTimer();
    }
    void Mark() { m_mark = shell.events.size(); }
    // Requests since the last Mark(), of one kind ("post", "progress", "result").
    Lines Since(std::u16string_view kind) const {
        Lines found;
        for (size_t i = m_mark; i < shell.events.size(); ++i) {
            if (shell.events[i].starts_with(std::u16string(kind) + u" ")) {
                found.push_back(shell.events[i].substr(kind.size() + 1));
            }
        }
        return found;
    }
    bool Seen(std::u16string_view event) const {
        return std::find(shell.events.begin() + m_mark, shell.events.end(), event) !=
               shell.events.end();
    }
    std::array<int, 4> Images(int a, int b, int c, int d) { return {a, b, c, d}; }
    size_t Files(const std::string& directory) {
        fs::path path = m_drive / "xlog.data" / directory;
        return fs::exists(path) ? std::distance(fs::directory_iterator(path), {}) : 0;
    }

    TempFolder m_temp;
    const fs::path m_drive = m_temp.path();
    framework::PosixFileSystem m_files;
    FakeClock m_clock;
    Records m_records{m_files, m_clock, {}};
    FakeShell shell;
    FakeProcess process;
    CStationController qel{shell, process, m_records, m_files};
    size_t m_mark = 0;
};

TEST_F(CycleTest, ClampThenSqueezedStartsOneTestUntilSlackOrClamp) {
    qel.m_settings.stationEnabled[3] = false;
    qel.OnClamp();
    EXPECT_EQ(shell.events, Lines({u"post pressurize", u"progress pressurize"}));
    Mark();
    Bus("squeezed");
    EXPECT_EQ(Lines(shell.events.begin() + 2, shell.events.begin() + 11),
              Lines({u"progress squeezed", u"clear progress", u"clear result",
                     u"post powering_down", u"post status_clear", u"pause 500", u"focus",
                     u"post qel_start", u"progress " + kRuleLine}));
    EXPECT_EQ(shell.result, u"开始测试\r\n" + kRuleLine + u"\r\n");
    EXPECT_EQ(shell.images, Images(IDB_TESTING, IDB_TESTING, IDB_TESTING, IDB_DISABLED));
    EXPECT_EQ(shell.busy, u"busy_status.gif");
    EXPECT_EQ(qel.m_cycleQr[1], u"Q2");

    for (int i = 0; i < 9; ++i) {
        Bus("squeezed");
    }
    Bus("slack", bus::kBridgeDiagnostic);
    Bus("squeezed", bus::kBridgeFrame);
    EXPECT_EQ(Since(u"post").size(), 3u) << "repeats and other channels start nothing";
    Mark();
    Bus("slack");
    Bus("slack");
    EXPECT_EQ(Since(u"progress"), Lines({u"slack"}));
    Bus("squeezed");
    qel.OnClamp();
    Bus("squeezed");
    EXPECT_EQ(std::count(shell.events.begin(), shell.events.end(), u"post qel_start"), 3);
}

TEST_F(CycleTest, FreeTextIsCollectedUpToAZeroByteAndAKeywordMustMatchWhole) {
    qel.OnTest();
    Bus("line one");
    Bus(std::string_view("qel_end\0junk", 12));
    EXPECT_EQ(qel.m_testerText, u"line one\r\n") << "the text ends at its zero byte";
    Bus("squeezed\r\n");
    Bus("Powered");
    EXPECT_EQ(qel.m_testerText, u"line one\r\nsqueezed\r\n\r\nPowered\r\n");
    EXPECT_TRUE(process.started.empty());
}

TEST_F(CycleTest, EventWhosePayloadIsGoneLeavesAProgressLine) {
    Mark();
    qel.OnLostBusEvent(0x100002FF);
    qel.OnLostBusEvent(0x200002FF);
    EXPECT_EQ(Since(u"progress"), Lines({u"lost bus event 0x100002FF on channel 255"}))
        << "only what the controller would have taken";
}

TEST_F(CycleTest, NoGroupsPassEveryStationAndEmptyCommandFinishesAtOnce) {
    qel.m_settings.programExecute.clear();
    qel.m_settings.stationEnabled[1] = false;
    RunTest({"tester says hello"});
    EXPECT_EQ(Since(u"progress")[0], u"qel_end");
    EXPECT_EQ(Since(u"progress")[1], u"Saved to d:\\xlog.data\\qel_str\\20251027_093015_0.txt");
    for (const char16_t* line :
         {u"No.0=1", u"No.2=1", u"No.3=1", u"Program all done", u"Powering down"}) {
        EXPECT_TRUE(Seen(u"progress " + std::u16string(line))) << *framework::WideToUtf8(line);
    }
    EXPECT_EQ(Since(u"result"),
              Lines({u"1#测试通过", u"3#测试通过", u"4#测试通过", u"\r\n测试和写入完成"}));
    EXPECT_EQ(Since(u"post"), Lines({u"powering_down", u"status_allpass"}));
    EXPECT_EQ(shell.images, Images(IDB_TEST_PASS, IDB_DISABLED, IDB_TEST_PASS, IDB_TEST_PASS));
    EXPECT_EQ(Files("qel_data/20251027"), 4u) << "three stations and the summary";
    EXPECT_EQ(shell.busy, u"busy_status.bmp");
    EXPECT_EQ(shell.qr[0], u"") << "QR edits emptied for the next boards";
}

TEST_F(CycleTest, AllStationsFailingEndsAfterTheJudgement) {
    RunTest({Group(1, "1.2"), Group(2, "0.5"), Group(3, "9"), Group(4, "-1")});
    EXPECT_EQ(Since(u"result")[0], u"1# 错误 R1=1.200kOhm 范围=0.900___1.100");
    EXPECT_EQ(std::count_if(shell.events.begin(), shell.events.end(),
                            [](auto& e) { return e.ends_with(u"#测试失败"); }),
              4);
    EXPECT_TRUE(Since(u"post").empty()) << "nothing powered, no status";
    EXPECT_EQ(shell.images, Images(IDB_FAIL, IDB_FAIL, IDB_FAIL, IDB_FAIL));
    EXPECT_EQ(shell.busy, u"busy_status.gif");
    EXPECT_EQ(Files("qel_data/20251027"), 4u);
}

TEST_F(CycleTest, StationsOneAndThreeProgrammedInTurn) {
    qel.m_settings.stationEnabled = {true, false, true, false};
    RunTest({Group(1, "1.0"), Group(2, "5")});
    EXPECT_EQ(Since(u"post"), Lines({u"powering_up_0"}));
    EXPECT_TRUE(Seen(u"result \r\n开始写入"));
    Program("all good");
    EXPECT_EQ(process.started, Lines({u"prog.exe /all"}));
    EXPECT_EQ(Since(u"progress"),
              Lines({u"Checking program exit...", u"object", u"CheckResult=1", u"powering_up_2"}));
    EXPECT_FALSE(fs::exists(m_drive / "result.txt")) << "a read result is deleted";
    Program("Failed with a capital F is still a success");
    EXPECT_EQ(Since(u"post"), Lines({u"powering_down", u"status_allpass"}));
    EXPECT_EQ(Since(u"result"), Lines({u"1#写入成功", u"3#写入成功", u"\r\n测试和写入完成"}));
    EXPECT_EQ(shell.images, Images(IDB_PASS, IDB_DISABLED, IDB_PASS, IDB_DISABLED));
    EXPECT_EQ(qel.m_programStation, 4);
    EXPECT_EQ(Files("qel_data/20251027"), 3u);
}

TEST_F(CycleTest, FailedCancelledOrMissingResultLeavesTheStationUnprogrammed) {
    RunTest({});
    Program("programming failed at 0x100");
    EXPECT_EQ(Since(u"progress")[2], u"CheckResult=0");
    EXPECT_FALSE(fs::exists(m_drive / "result.txt"));
    Program("user cancelled");
    EXPECT_EQ(Since(u"progress")[2], u"CheckResult=0");
    Program(nullptr);
    EXPECT_EQ(Since(u"progress")[2], u"can't open d:\\result.txt");
    Program("ok");
    EXPECT_EQ(Since(u"post"), Lines({u"powering_down", u"status_fail"}));
    EXPECT_EQ(Since(u"result"), Lines({u"1#写入失败", u"2#写入失败", u"3#写入失败", u"4#写入成功",
                                       u"\r\n测试和写入完成"}));
    EXPECT_EQ(shell.images, Images(IDB_TEST_PASS, IDB_TEST_PASS, IDB_TEST_PASS, IDB_PASS));
}

TEST_F(CycleTest, CommandStillRunningIsKilledOnTheTenthTick) {
    RunTest({});
    Bus("powered");
    std::ofstream(m_drive / "result.txt") << "written just before the kill";
    Mark();
    for (int tick = 1; tick < 10; ++tick) {
        qel.OnTimer();
    }
    EXPECT_EQ(Since(u"progress"), Lines({u"Checking program exit..."}));
    EXPECT_EQ(process.terminated, 0);
    qel.OnTimer();
    EXPECT_EQ(Since(u"progress"), Lines({u"Checking program exit...", u"Program timeout!!!",
                                         u"Force shutdown....", u"Closed", u"powering_up_1"}));
    EXPECT_EQ(process.terminated, 1);
    qel.OnTimer();
    EXPECT_EQ(Since(u"progress").size(), 5u) << "no command is watched any more";
    // The next command ends without a result: the killed one's file is not taken for it.
    Program(nullptr);
    EXPECT_EQ(Since(u"progress")[2], u"can't open d:\\result.txt");
    EXPECT_EQ(qel.m_stationFlags[1], FLAG_TEST_PASS);
}

TEST_F(CycleTest, KilledCommandThatOutlivesTheWaitIsReportedAndTheNextStationFollows) {
    RunTest({});
    Bus("powered");
    process.waitWorks = false;
    Mark();
    for (int tick = 0; tick < 10; ++tick) {
        qel.OnTimer();
    }
    EXPECT_EQ(Since(u"progress"),
              Lines({u"Checking program exit...", u"Program timeout!!!", u"Force shutdown....",
                     u"WaitForSingleObject failed", u"powering_up_1"}));
    EXPECT_EQ(qel.m_stationFlags[0], FLAG_TEST_PASS);
}

TEST_F(CycleTest, CommandThatCannotStartOrBeKilledTimesOutAndMovesOn) {
    qel.m_settings.programExecute.clear();
    qel.m_settings.stationEnabled = {true, true, false, false};
    RunTest({});
    qel.OnWrite();
    EXPECT_FALSE(Seen(u"post powering_up_0")) << "the button does nothing with no command";
    Bus("powered");
    Mark();
    for (int tick = 0; tick < 10; ++tick) {
        qel.OnTimer();
    }
    const auto lines = Since(u"progress");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), u"failed"), 10);
    EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
              Lines({u"Program timeout!!!", u"Force shutdown....", u"hProcess ==null",
                     u"powering_up_1"}));
    qel.m_settings.programExecute = u"stuck.exe";
    Bus("powered");
    process.terminateWorks = false;
    Mark();
    for (int tick = 0; tick < 10; ++tick) {
        qel.OnTimer();
    }
    EXPECT_TRUE(Seen(u"progress Terminate process failed"));
    EXPECT_TRUE(Seen(u"post status_fail"));
}

// Two tools at once would write one result file; the one being watched is ended first.
TEST_F(CycleTest, PoweredWhileACommandRunsEndsItBeforeTheNextStarts) {
    RunTest({});
    Bus("powered");
    qel.OnTimer();
    Mark();
    Bus("powered");
    EXPECT_EQ(process.terminated, 1);
    EXPECT_EQ(Since(u"progress"), Lines({u"Program still running", u"Force shutdown....", u"Closed",
                                         u"powered", u"Starting program...", u"Started"}));
    std::ofstream(m_drive / "result.txt") << "ok";
    process.state = ProcessPoll::Ended;
    qel.OnTimer();
    EXPECT_EQ(qel.m_stationFlags[0], FLAG_TEST_PASS | FLAG_PROGRAM_OK) << "the second is judged";
}

// Under load the system now and then fails to create a process that starts the next moment:
// the board is not failed for it, and the pane says why when it does not start at all.
TEST_F(CycleTest, CommandThatFailsToStartIsTriedAgain) {
    RunTest({});
    process.failingStarts = 2;
    Program("ok");
    EXPECT_EQ(qel.m_stationFlags[0], FLAG_TEST_PASS | FLAG_PROGRAM_OK);
    EXPECT_EQ(process.started.size(), 3u);
    process.failingStarts = 3;
    Mark();
    Bus("powered");
    EXPECT_EQ(process.started.size(), 6u) << "three attempts, then the watch times out";
    EXPECT_EQ(Since(u"progress"), Lines({u"powered", u"Starting program...",
                                         u"can't start program, error 1359", u"Started"}))
        << "the pane shows a repeated line once";
}

TEST_F(CycleTest, SecondTestDuringProgrammingLeavesTheStationAbnormal) {
    RunTest({Group(2, "7"), Group(3, "7"), Group(4, "7")});
    Bus("powered");
    qel.OnTest();
    Mark();
    std::ofstream(m_drive / "result.txt") << "done";
    process.state = ProcessPoll::Ended;
    qel.OnTimer();
    EXPECT_TRUE(Seen(u"progress No.0=2"));
    EXPECT_EQ(shell.images, Images(IDB_ABNORMAL, IDB_FAIL, IDB_FAIL, IDB_FAIL));
    EXPECT_EQ(Since(u"post"), Lines({u"powering_down", u"status_fail"}));
}

TEST_F(CycleTest, PoweredWithNoStationToProgramTouchesNoFlags) {
    qel.m_settings.stationEnabled = {false, false, false, true};
    RunTest({Group(4, "1.0")});
    Program("ok");
    ASSERT_EQ(qel.m_programStation, 4);
    const auto flags = qel.m_stationFlags;
    const auto qr = qel.m_cycleQr;
    Program("ok");
    EXPECT_EQ(Since(u"progress")[2], u"CheckResult=1");
    EXPECT_EQ(qel.m_stationFlags, flags);
    EXPECT_EQ(qel.m_cycleQr, qr);
    EXPECT_EQ(qel.m_programStation, 4);
    EXPECT_TRUE(Seen(u"post status_allpass"));
}

TEST_F(CycleTest, PoweredBeforeAnyCycleStaysWithinTheStations) {
    // m_programStation starts at 0, so the command counts for station 1, which never passed.
    Program("ok");
    EXPECT_EQ(Since(u"progress")[2], u"CheckResult=1");
    EXPECT_EQ(qel.m_stationFlags, (std::array<int32_t, 4>{FLAG_PROGRAM_OK, 0, 0, 0}));
    EXPECT_EQ(qel.m_programStation, 4);
    EXPECT_EQ(shell.images, Images(IDB_ABNORMAL, IDB_FAIL, IDB_FAIL, IDB_FAIL));
    EXPECT_EQ(Since(u"post"), Lines({u"powering_down", u"status_fail"}));
}

TEST_F(CycleTest, NoStationEnabledShowsNothingPerStationAndPassesOverall) {
    qel.m_settings.stationEnabled = {false, false, false, false};
    qel.ResetStations(true);
    EXPECT_EQ(shell.images, Images(IDB_DISABLED, IDB_DISABLED, IDB_DISABLED, IDB_DISABLED));
    RunTest({});
    EXPECT_EQ(Since(u"result"), Lines({u"\r\n开始写入", kRuleLine, u"\r\n测试和写入完成"}));
    EXPECT_TRUE(Seen(u"progress none to program"));
    EXPECT_TRUE(Seen(u"post status_allpass"));
    EXPECT_EQ(Files("qel_data/20251027"), 1u) << "only the summary";
}
