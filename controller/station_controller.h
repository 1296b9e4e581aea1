#pragma once
// The station controller's logic: the test cycle, the judgement around CJudgement, the
// programming sequence and its runner, and the station displays. It owns no window and no
// process; the main window forwards its events here and carries out the requests.
//
// How the Windows dialog uses it (everything on the user-interface thread):
//   - button 1001 -> OnClamp(), 1007 -> OnTest(), 1008 -> OnWrite();
//   - WM_BUS_EVENT -> OnBusEvent(wParam, the bytes fetched with bus_fetch);
//   - timer ID_TIMER_WATCH (1 s) -> OnTimer();
//   - start-up and confirmed settings: set m_settings, then ResetStations(true);
//   - the dialog implements ControllerShell (panes, posts, indicators, QR edits, pause,
//     busy image), and provides a ProgramProcess and a RecordWriter (usually Records).
#include "judgement.h"
#include "panes.h"
#include "programming.h"
#include "records.h"
#include "station_controller_flags.h"
#include "station_controller_shell.h"
#include "station_settings.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

class CStationController {
public:
    // `files` serves the programming result file.
    CStationController(ControllerShell& shell, ProgramProcess& process, RecordWriter& records,
                       framework::FileSystem& files);

    // Settings, loaded and saved by the window.
    StationSettings m_settings;

    // State of the cycle. Nothing refuses an event because a cycle is under way.
    bool m_clamped = false;      // "squeezed" accepted and no "slack" or clamp press since
    std::u16string m_testerText; // every free text of the test, each followed by "\r\n"
    std::array<int32_t, kStationCount> m_stationFlags{}; // FLAG_TEST_PASS, FLAG_PROGRAM_OK
    std::array<std::u16string, kStationCount> m_cycleQr; // QR codes latched at test start
    int32_t m_programStation = 0;    // station last powered for programming; 4 when none left
    uint32_t m_programCountdown = 0; // timer ticks before the command is killed; 0 = idle
    CJudgement m_judge;              // texts of the last judgement

    // A message box for the user ("No disk space!"), shown once the event being handled is
    // over: the box dispatches bus events and ticks to this controller while it is up. A
    // text already waiting for its box is not queued again.
    void ShowMessageLater(std::u16string_view text);

    // Events.
    void OnClamp();
    void OnTest();
    void OnWrite();
    // A bus notification: its type word and payload bytes. Only bridge text on the keyword
    // channel is taken; the text ends at its first zero byte.
    void OnBusEvent(uint32_t type, std::string_view payload);
    // A bus notification whose payload the bus no longer holds (its ring went round while
    // this window was blocked): a lost "qel_end" or "powered" would stall the cycle, so
    // the loss is shown.
    void OnLostBusEvent(uint32_t type);
    void OnTimer();

    // Panes and indicators.
    void AppendProgress(std::u16string_view text) { m_progress.Append(text); }
    void AppendResult(std::u16string_view text) { m_result.Append(text); }
    // All flags to 0; enabled stations show IDB_READY (idle) or IDB_TESTING.
    void ResetStations(bool idle);
    // A "No.%d=%d" line and the image of its flags for each enabled station.
    void ShowStationResults();

    // The cycle.
    // Judges every station in `text`, writes the enabled stations' records and returns the
    // number of stations, enabled or not, that passed.
    int EvaluateTest(std::u16string_view text);
    // Powers the next enabled station that passed, or finishes the cycle.
    void ProgramNextStation();
    // Shows, records and signals the outcome of the cycle.
    void FinishCycle();

private:
    // Held by every event handler; the outermost one shows the messages asked for meanwhile.
    class HandlerScope {
    public:
        explicit HandlerScope(CStationController& qel) : m_qel(qel) { ++m_qel.m_handlerDepth; }
        ~HandlerScope();
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

    private:
        CStationController& m_qel;
    };
    void ShowPendingMessages();

    void Post(std::string_view keyword);
    void PowerUp(int station);
    bool IsProgrammable(int station) const;
    void OnQelEnd();
    void OnFreeText(const std::u16string& text);

    // The programming runner.
    void StartProgram();
    void CheckResult();
    // Ends the running command (and all it started), saying how in the progress pane.
    void ShutDownProgram();

    ControllerShell& m_shell;
    ProgramProcess& m_process;
    RecordWriter& m_records;
    framework::FileSystem& m_files;
    Pane m_progress;
    Pane m_result;
    int m_handlerDepth = 0;
    bool m_showingMessage = false;
    // The result file of an earlier run could not be removed before this run started.
    bool m_staleResult = false;
    std::deque<std::u16string> m_pendingMessages;
};
