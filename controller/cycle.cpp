// The cycle after the tester's end: judgement, the programming sequence and its close.
#include "station_controller.h"

#include "cycle_text.h"
#include "keywords.h"

#include <algorithm>

void CStationController::OnQelEnd() {
    AppendProgress(Widen(bus::keyword::kQelEnd));
    AppendProgress(m_records.SaveTesterText(m_testerText));
    const int passed = EvaluateTest(m_testerText);
    for (int i = 0; i < kStationCount; ++i) {
        if (m_settings.stationEnabled[i]) {
            const bool pass = (m_stationFlags[i] & FLAG_TEST_PASS) != 0;
            AppendResult(Decimal(i + 1) + (pass ? u"#测试通过" : u"#测试失败"));
        }
    }
    // With no pass the cycle stops here: nothing powered, no status posted.
    if (passed > 0) {
        OnWrite();
    }
}

int CStationController::EvaluateTest(std::u16string_view text) {
    m_judge.JudgeText(text);
    const int stations = std::clamp<int>(m_judge.m_stationCount, 0, kStationCount);
    for (int i = 0; i < stations; ++i) {
        const std::u16string& errors = m_judge.m_errText[i];
        const std::u16string& passes = m_judge.m_passText[i];
        if (!passes.empty()) {
            AppendProgress(passes);
        }
        if (errors.empty()) {
            m_stationFlags[i] |= FLAG_TEST_PASS;
        } else {
            AppendResult(errors);
        }
        if (m_settings.stationEnabled[i]) {
            AppendProgress(m_records.SaveStationRecord(m_cycleQr[i], errors, passes));
        }
    }
    const int passed = static_cast<int>(
        std::count_if(m_stationFlags.begin(), m_stationFlags.end(),
                      [](int32_t flags) { return (flags & FLAG_TEST_PASS) != 0; }));
    ShowStationResults();
    return passed;
}

void CStationController::OnWrite() {
    HandlerScope scope(*this);
    if (m_settings.programExecute.empty()) {
        FinishCycle();
        return;
    }
    AppendProgress(kRule);
    AppendResult(u"\r\n开始写入");
    AppendResult(kRule);
    for (int i = 0; i < kStationCount; ++i) {
        if (IsProgrammable(i)) {
            PowerUp(i);
            return;
        }
    }
    AppendProgress(u"none to program");
    FinishCycle();
}

void CStationController::ProgramNextStation() {
    // After the last station (a stray "powered") there is nothing left to power.
    int next = IsStationIndex(m_programStation) ? m_programStation + 1 : kStationCount;
    while (next < kStationCount && !IsProgrammable(next)) {
        ++next;
    }
    if (next < kStationCount) {
        PowerUp(next);
        return;
    }
    m_programStation = kStationCount;
    FinishCycle();
}

void CStationController::FinishCycle() {
    AppendProgress(u"Program all done");
    const bool programming = !m_settings.programExecute.empty();
    if (programming) {
        for (int i = 0; i < kStationCount; ++i) {
            if (!m_settings.stationEnabled[i]) {
                continue;
            }
            static constexpr std::u16string_view kOutcomeText[] = {u"#写入成功", u"#写入失败",
                                                                   u"#未执行写入操作"};
            const auto outcome = static_cast<size_t>(OutcomeOf(m_stationFlags[i]));
            AppendResult(Decimal(i + 1) + std::u16string(kOutcomeText[outcome]));
        }
    }
    Post(bus::keyword::kPoweringDown);
    AppendProgress(u"Powering down");
    ShowStationResults();

    ProgramSummary summary;
    for (int i = 0; i < kStationCount; ++i) {
        summary[i] = {m_settings.stationEnabled[i], m_stationFlags[i], m_cycleQr[i]};
    }
    AppendProgress(m_records.SaveProgramResult(summary));
    AppendResult(u"\r\n测试和写入完成");
    m_shell.ShowBusyImage(u"busy_status.bmp");

    bool allPass = true;
    for (int i = 0; i < kStationCount; ++i) {
        const int32_t flags = m_stationFlags[i];
        if (m_settings.stationEnabled[i] &&
            (!(flags & FLAG_TEST_PASS) || (programming && !(flags & FLAG_PROGRAM_OK)))) {
            allPass = false;
        }
    }
    Post(allPass ? bus::keyword::kStatusAllPass : bus::keyword::kStatusFail);
    m_shell.ClearQrEdits();
}

void CStationController::PowerUp(int station) {
    const std::string keyword = bus::keyword::powering_up(station);
    Post(keyword);
    AppendProgress(Widen(keyword));
    m_programStation = station;
}

bool CStationController::IsProgrammable(int station) const {
    return m_settings.stationEnabled[station] && (m_stationFlags[station] & FLAG_TEST_PASS) != 0;
}
