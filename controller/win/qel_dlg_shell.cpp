// What the controller asks of the main window, carried out with Win32.
#include "qel_dlg.h"

#include "binding.h"
#include "resource.h"
#include "type_word.h"
#include "wide.h"

#include <string>

namespace {

constexpr int kStationIds[kStationCount] = {IDC_STATION1, IDC_STATION2, IDC_STATION3, IDC_STATION4};
constexpr int kQrIds[kStationCount] = {IDC_QR1, IDC_QR2, IDC_QR3, IDC_QR4};

} // namespace

void CqelDlg::AppendPaneLine(PaneId pane, std::u16string_view line) {
    (pane == PaneId::Progress ? m_progressPane : m_resultPane).Append(ToWide(line));
}

void CqelDlg::ClearPane(PaneId pane) {
    (pane == PaneId::Progress ? m_progressPane : m_resultPane).Clear();
}

void CqelDlg::PostKeyword(std::string_view keyword) {
    const std::string text(keyword);
    bus_post_text(m_hWnd, bus::kKeywordChannel, text.c_str());
}

void CqelDlg::SetStationImage(int station, int bitmapId) {
    HWND indicator = IsStationIndex(station) ? Item(kStationIds[station]) : nullptr;
    if (indicator == nullptr) {
        return;
    }
    HBITMAP& bitmap = m_bitmaps[bitmapId];
    if (bitmap == nullptr) {
        bitmap =
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                            IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (bitmap == nullptr) {
            return;
        }
    }
    SendMessageW(indicator, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    // The image id as the control's text, which a bitmap control never draws, so that
    // tools reading the window can tell what it shows.
    DefWindowProcW(indicator, WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(std::to_wstring(bitmapId).c_str()));
}

void CqelDlg::FlushPanes() {
    m_resultPane.Flush();
    m_progressPane.Flush();
}

void CqelDlg::Pause(std::chrono::milliseconds duration) {
    // The pause holds the window still, so it first shows what came before it.
    FlushPanes();
    Sleep(static_cast<DWORD>(duration.count()));
}

void CqelDlg::ShowBusyImage(std::u16string_view fileName) {
    m_busy.UnloadImage();
    if (m_busy.LoadImageFile(ToWide(fileName).c_str())) {
        m_busy.StartImage();
    }
}

std::array<std::u16string, 4> CqelDlg::ReadQrEdits() {
    std::array<std::u16string, 4> codes;
    for (int i = 0; i < kStationCount; ++i) {
        codes[i] = ToU16(WindowText(Item(kQrIds[i])));
    }
    return codes;
}

void CqelDlg::ClearQrEdits() {
    for (int id : kQrIds) {
        SetDlgItemTextW(m_hWnd, id, L"");
    }
}

void CqelDlg::ShowMessage(std::u16string_view text) {
    ::ShowMessage(m_hWnd, ToWide(text));
}

void CqelDlg::FocusFirstQr() {
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_QR1)), TRUE);
}
