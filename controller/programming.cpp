// The programming runner: one command per powered station, watched on the 1-second timer
// and judged by the result file it leaves.
#include "station_controller.h"

#include "cycle_text.h"
#include "keywords.h"
#include "result_words.h"
#include "unifile.h"

namespace {

constexpr uint32_t kProgramTicks = 10;
constexpr int kStartAttempts = 3;

} // namespace

void CStationController::StartProgram() {
    if (m_programCountdown != 0) {
        // Two tools writing one result file would make either verdict a guess.
        if (m_process.Poll() == ProcessPoll::Running) {
            AppendProgress(u"Program still running");
            ShutDownProgram();
        } else {
            m_process.Release();
        }
    }
    AppendProgress(Widen(bus::keyword::kPowered));
    m_programCountdown = kProgramTicks;
    AppendProgress(u"Starting program...");
    // A result left by an earlier command (one that timed out keeps its file) must not be
    // judged as this station's. One that cannot be removed (held open by a scanner, made
    // read-only) may be all the next check finds, so this run cannot be judged a success.
    const uint32_t removed = m_files.RemoveFile(m_settings.programResult);
    m_staleResult = removed != framework::kErrorSuccess &&
                    removed != framework::kErrorFileNotFound &&
                    removed != framework::kErrorPathNotFound;
    if (m_staleResult) {
        AppendProgress(u"can't delete " + m_settings.programResult);
    }
    // Under load the system now and then fails to create a process that it creates the
    // next moment; a board is not failed for that.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        const uint32_t error = m_process.Start(m_settings.programExecute);
        if (error == 0) {
            break;
        }
        AppendProgress(u"can't start program, error " + Decimal(error));
    }
    AppendProgress(u"Started");
}

void CStationController::OnTimer() {
    if (m_programCountdown == 0) {
        return;
    }
    HandlerScope scope(*this);
    AppendProgress(u"Checking program exit...");
    switch (m_process.Poll()) {
    case ProcessPoll::Ended:
        // The wait's name for a signalled object, kept as the pane has always shown it.
        AppendProgress(u"object");
        CheckResult();
        return;
    case ProcessPoll::Running:
        break;
    case ProcessPoll::Failed:
        AppendProgress(u"failed");
        break;
    }
    if (--m_programCountdown == 0) {
        AppendProgress(u"Program timeout!!!");
        ShutDownProgram();
        ProgramNextStation();
    }
}

void CStationController::CheckResult() {
    m_programCountdown = 0;
    // Whatever the command left running ends before its verdict is read.
    m_process.Release();
    bool success = false;
    CUniFile file(m_files);
    if (file.Open(m_settings.programResult, framework::kModeRead)) {
        success = !m_staleResult && !ResultCountsAsFailure(file);
        file.Close();
        m_files.RemoveFile(m_settings.programResult);
        AppendProgress(u"CheckResult=" + Decimal(success ? 1 : 0));
    } else {
        AppendProgress(u"can't open " + m_settings.programResult);
    }
    // "powered" may come when no station is being programmed.
    if (success && IsStationIndex(m_programStation)) {
        m_stationFlags[m_programStation] |= FLAG_PROGRAM_OK;
    }
    ProgramNextStation();
}

void CStationController::ShutDownProgram() {
    AppendProgress(u"Force shutdown....");
    const KillResult kill = m_process.Kill();
    switch (kill.outcome) {
    case KillResult::Outcome::NoProcess:
        AppendProgress(u"hProcess ==null");
        break;
    case KillResult::Outcome::TerminateFailed:
        AppendProgress(u"Terminate process failed");
        break;
    case KillResult::Outcome::WaitFailed:
        AppendProgress(u"WaitForSingleObject failed");
        break;
    case KillResult::Outcome::Ended:
        AppendProgress(u"Closed");
        if (!kill.processHandleClosed) {
            AppendProgress(u"Close handle process fail");
        }
        if (!kill.threadHandleClosed) {
            AppendProgress(u"Close handle thread fail");
        }
        break;
    }
}
