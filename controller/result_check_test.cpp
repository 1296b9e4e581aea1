// How a programming run is judged by the file it leaves: whatever the file holds, a run that
// says "failed" or "cancel" is never read as a success, and no file can end qel.
#include "station_controller.h"

#include "keywords.h"
#include "station_controller_fakes.h"
#include "type_word.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::u16string kResult = u"d:\\result.txt";

class ResultCheck : public testing::Test {
protected:
    void SetUp() override {
        qel.m_settings.programExecute = u"prog.exe";
        qel.m_settings.programResult = kResult;
        qel.OnTest();
        qel.OnBusEvent(bus::kBridgeKeyword, bus::keyword::kQelEnd);
    }
    // The powered station's command ends, leaving `bytes` (which may claim a larger length)
    // in its result file; the progress line that judges it.
    std::u16string Judge(const std::string& bytes, uint64_t claimed = 0) {
        qel.OnBusEvent(bus::kBridgeKeyword, bus::keyword::kPowered);
        files.files[kResult] = bytes;
        files.claimed_length[kResult] = claimed;
        process.state = ProcessPoll::Ended;
        shell.events.clear();
        qel.OnTimer();
        for (const auto& event : shell.events) {
            if (event.starts_with(u"progress CheckResult=")) {
                return event.substr(9);
            }
        }
        return u"(no verdict)";
    }

    MemoryFiles files;
    FakeClock clock;
    FakeShell shell;
    FakeProcess process;
    Records records{files, clock, {}};
    CStationController qel{shell, process, records, files};
};

} // namespace

TEST_F(ResultCheck, FailureWordsSwallowedByTheAnsiCodePageStillFail) {
    // UTF-8 with an escape code reads as code page 936, where 中 and the "f" after it become
    // "涓璮": the decoded text no longer holds "failed".
    EXPECT_EQ(Judge("\x1b[31m\xe4\xb8\xad"
                    "failed\x1b[0m\r\n"),
              u"CheckResult=0");
    EXPECT_EQ(Judge("\x0c\xe4\xb8\xad"
                    "cancel"),
              u"CheckResult=0");
    EXPECT_EQ(Judge("\x1b[32m\xe4\xb8\xad ok\x1b[0m"), u"CheckResult=1");
}

TEST_F(ResultCheck, HugeFileIsSearchedInChunksAndNeverLoadedWhole) {
    std::string bytes(300000, 'x');
    bytes.replace(200000, 6, "failed");
    EXPECT_EQ(Judge(bytes, uint64_t{1} << 40), u"CheckResult=0");
    EXPECT_EQ(Judge(std::string(300000, 'x')), u"CheckResult=1");
}

// The rest of the file may say "failed": a verdict on part of it cannot be trusted.
TEST_F(ResultCheck, FileThatCannotBeReadToItsEndFails) {
    EXPECT_EQ(Judge(std::string(300000, 'x'), uint64_t{1} << 40), u"CheckResult=0")
        << "searched in chunks";
    EXPECT_EQ(Judge("verify ok", 100), u"CheckResult=0") << "decoded whole";
}

// A scanner holding the file, or a tool that left it read-only: whatever the file says
// is the last run's.
TEST_F(ResultCheck, ResultThatCouldNotBeRemovedBeforeTheRunFails) {
    files.files[kResult] = "ok";
    files.undeletable.insert(kResult);
    for (int station = 0; station < 3; ++station) {
        qel.OnBusEvent(bus::kBridgeKeyword, bus::keyword::kPowered);
        process.state = ProcessPoll::Ended;
        qel.OnTimer();
    }
    const auto lines = shell.events;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), u"progress can't delete d:\\result.txt"), 3);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), u"progress CheckResult=0"), 3);
    EXPECT_EQ(qel.m_stationFlags, (std::array<int32_t, 4>{1, 1, 1, 1}));
}
