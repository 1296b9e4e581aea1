#include "station_controller.h"

#include "cycle_text.h"
#include "keywords.h"
#include "resources.h"
#include "type_word.h"
#include "unifile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

CStationController::CStationController(ControllerShell& shell, ProgramProcess& process,
                                       RecordWriter& records, framework::FileSystem& files)
    : m_shell(shell), m_process(process), m_records(records), m_files(files),
      m_progress(shell, PaneId::Progress), m_result(shell, PaneId::Result) {}

void CStationController::ShowMessageLater(std::u16string_view text) {
    // Every record of a cycle on a full disk asks; a pile of the same box helps nobody.
    if (std::find(m_pendingMessages.begin(), m_pendingMessages.end(), text) ==
        m_pendingMessages.end()) {
        m_pendingMessages.emplace_back(text);
    }
    if (m_handlerDepth == 0) {
        ShowPendingMessages();
    }
}

CStationController::HandlerScope::~HandlerScope() {
    if (--m_qel.m_handlerDepth == 0) {
        m_qel.ShowPendingMessages();
    }
}

// One box at a time: events that a box lets through may ask for more, which wait for it.
void CStationController::ShowPendingMessages() {
    if (m_showingMessage) {
        return;
    }
    m_showingMessage = true;
    while (!m_pendingMessages.empty()) {
        const std::u16string text = std::move(m_pendingMessages.front());
        m_pendingMessages.pop_front();
        m_shell.ShowMessage(text);
    }
    m_showingMessage = false;
}

void CStationController::OnClamp() {
    HandlerScope scope(*this);
    m_clamped = false;
    Post(bus::keyword::kPressurize);
    AppendProgress(Widen(bus::keyword::kPressurize));
}

void CStationController::OnTest() {
    HandlerScope scope(*this);
    ResetStations(false);
    Post(bus::keyword::kPoweringDown);
    Post(bus::keyword::kStatusClear);
    m_shell.Pause(std::chrono::milliseconds(500));
    m_cycleQr = m_shell.ReadQrEdits();
    m_shell.FocusFirstQr();
    m_testerText.clear();
    Post(bus::keyword::kQelStart);
    AppendProgress(kRule);
    AppendResult(u"开始测试");
    AppendResult(kRule);
    m_shell.ShowBusyImage(u"busy_status.gif");
}

void CStationController::OnBusEvent(uint32_t type, std::string_view payload) {
    if (!bus::controller_accepts(type)) {
        return;
    }
    HandlerScope scope(*this);
    // The text is read as a zero-terminated string would be.
    const std::u16string text = ConvertAnsiToUnicode(payload.substr(0, payload.find('\0')));
    if (EqualsAscii(text, bus::keyword::kSqueezed)) {
        if (!m_clamped) {
            AppendProgress(text);
            m_clamped = true;
            m_progress.Clear();
            m_result.Clear();
            OnTest();
        }
    } else if (EqualsAscii(text, bus::keyword::kSlack)) {
        if (m_clamped) {
            AppendProgress(text);
            m_clamped = false;
        }
    } else if (EqualsAscii(text, bus::keyword::kQelEnd)) {
        OnQelEnd();
    } else if (EqualsAscii(text, bus::keyword::kPowered)) {
        StartProgram();
    } else {
        AppendProgress(text);
        m_testerText += text;
        m_testerText += u"\r\n";
    }
}

void CStationController::OnLostBusEvent(uint32_t type) {
    if (!bus::controller_accepts(type)) {
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "lost bus event 0x%08X on channel %u",
                  static_cast<unsigned>(type), static_cast<unsigned>(bus::channel_of(type)));
    AppendProgress(Widen(text));
}

void CStationController::ResetStations(bool idle) {
    m_stationFlags.fill(0);
    for (int i = 0; i < kStationCount; ++i) {
        int image = !m_settings.stationEnabled[i] ? IDB_DISABLED : idle ? IDB_READY : IDB_TESTING;
        m_shell.SetStationImage(i, image);
    }
}

void CStationController::ShowStationResults() {
    static constexpr int kImageOfFlags[] = {IDB_FAIL, IDB_TEST_PASS, IDB_ABNORMAL, IDB_PASS};
    for (int i = 0; i < kStationCount; ++i) {
        if (!m_settings.stationEnabled[i]) {
            m_shell.SetStationImage(i, IDB_DISABLED);
            continue;
        }
        // Counted from 0 here, unlike "1#" to "4#" everywhere else: the diagnostic line
        // has always shown the index.
        AppendProgress(u"No." + Decimal(i) + u"=" + Decimal(m_stationFlags[i]));
        m_shell.SetStationImage(i, kImageOfFlags[m_stationFlags[i] & 3]);
    }
}

void CStationController::Post(std::string_view keyword) {
    m_shell.PostKeyword(keyword);
}
