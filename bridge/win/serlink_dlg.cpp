#include "serlink_dlg.h"

#include "binding.h"
#include "link_identity.h"
#include "main_window.h"
#include "resource.h"
#include "type_word.h"
#include "wide.h"

#include <shellapi.h>

#include <cstring>
#include <string>

static_assert(IDR_MAINFRAME == bridge::kAppIcon && IDI_CONTROL_TRAY == bridge::kControlIcon &&
              IDI_TESTER_TRAY == bridge::kTesterIcon);

namespace {

constexpr UINT kTrayMessage = WM_USER + 2;
// Wide text is UTF-16 on both sides.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

HINSTANCE instance() {
    return GetModuleHandleW(nullptr);
}

// Sent to every top-level window when the taskbar starts, after a crash of the shell too.
UINT taskbar_created() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool is_tray_icon(WPARAM id) {
    return id == IDR_MAINFRAME || id == IDI_CONTROL_TRAY || id == IDI_TESTER_TRAY;
}

} // namespace

CSerlinkDlg::CSerlinkDlg(bridge::link_arguments arguments)
    : CDialog(IDD_QEL_LINK_DIALOG), icon(LoadIconW(instance(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      session(arguments, *this, channel, bus_out) {}

INT_PTR CSerlinkDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        bus_out.attach(m_hWnd);
        // A dialog procedure never sees WM_CREATE; its steps come first here instead.
        session.on_create();
        session.on_init_dialog();
        return TRUE;
    case WM_NCPAINT:
        return OnNcPaint();
    case WM_PAINT:
        return PaintMinimisedIcon(m_hWnd, icon);
    case WM_TIMER:
        session.on_timer(static_cast<int>(wParam));
        return FALSE;
    case bus::kWmBusEvent:
        session.on_bus_event(static_cast<std::uint32_t>(wParam),
                             static_cast<std::uint32_t>(lParam));
        return SetResult(0);
    case kTrayMessage:
        OnTrayNotify(wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        // Dragged by any point, as if by its caption.
        PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        return FALSE;
    case WM_QUERYENDSESSION:
        return SetResult(TRUE);
    case WM_ENDSESSION:
        if (wParam != 0) {
            session.on_end_session();
        }
        return FALSE;
    case WM_DESTROY:
        session.on_destroy();
        return FALSE;
    default:
        if (message == taskbar_created()) {
            session.on_taskbar_created();
        }
        return FALSE;
    }
}

void CSerlinkDlg::OnCommand(int id) {
    struct entry {
        int id;
        void (CSerlinkDlg::*handler)();
    };
    static constexpr entry table[] = {
        {IDOK, &CSerlinkDlg::OnOK},
        {IDCANCEL, &CSerlinkDlg::OnHide},
        {ID_TRAY_SHOW, &CSerlinkDlg::OnShowWindow},
        {ID_TRAY_EXIT, &CSerlinkDlg::OnExit},
    };
    for (const entry& e : table) {
        if (e.id == id) {
            (this->*e.handler)();
            return;
        }
    }
}

void CSerlinkDlg::OnOK() {
    EndDialog(IDOK);
}

void CSerlinkDlg::OnHide() {
    ShowWindow(m_hWnd, SW_HIDE);
}

void CSerlinkDlg::OnShowWindow() {
    ShowWindow(m_hWnd, SW_SHOW);
}

void CSerlinkDlg::OnExit() {
    EndDialog(IDCANCEL);
}

void CSerlinkDlg::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (!is_tray_icon(iconId) || (mouseMessage != WM_LBUTTONUP && mouseMessage != WM_RBUTTONUP)) {
        return;
    }
    HMENU menu = LoadMenuW(instance(), MAKEINTRESOURCEW(IDR_TRAY_MENU));
    if (menu == nullptr) {
        return;
    }
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(m_hWnd);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd,
                   nullptr);
    DestroyMenu(menu);
}

bool CSerlinkDlg::OnNcPaint() {
    if (hidden_paints >= 2) {
        return false;
    }
    ++hidden_paints;
    ShowWindow(m_hWnd, SW_HIDE);
    return true;
}

void CSerlinkDlg::add_tray_icon(int icon_id, std::u16string_view tip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = static_cast<UINT>(icon_id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIconW(instance(), MAKEINTRESOURCEW(icon_id));
    std::wstring text = ToWide(tip);
    lstrcpynW(data.szTip, text.c_str(), static_cast<int>(std::size(data.szTip)));
    Shell_NotifyIconW(NIM_ADD, &data);
}

void CSerlinkDlg::delete_tray_icon(int icon_id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = static_cast<UINT>(icon_id);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

void CSerlinkDlg::make_tool_window() {
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

void CSerlinkDlg::make_topmost() {
    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void CSerlinkDlg::set_window_icons() {
    SetDialogIcons(m_hWnd, icon);
}

void CSerlinkDlg::set_title(std::u16string_view title) {
    SetWindowTextW(m_hWnd, ToWide(title).c_str());
}

void CSerlinkDlg::set_mode_text(std::u16string_view text) {
    SetDlgItemTextW(m_hWnd, IDC_MODE_TEXT, ToWide(text).c_str());
}

void CSerlinkDlg::set_status_text(std::u16string_view text) {
    SetDlgItemTextW(m_hWnd, IDC_STATUS_TEXT, ToWide(text).c_str());
}

void CSerlinkDlg::show_message(std::u16string_view text) {
    MessageBoxW(m_hWnd, ToWide(text).c_str(), L"qel_link", MB_OK);
}

void CSerlinkDlg::start_timer(int id, unsigned period_ms) {
    SetTimer(m_hWnd, static_cast<UINT_PTR>(id), period_ms, nullptr);
}

void CSerlinkDlg::kill_timer(int id) {
    KillTimer(m_hWnd, static_cast<UINT_PTR>(id));
}

bridge::link_time CSerlinkDlg::now() const {
    return bridge::link_time(GetTickCount64());
}

bool CSerlinkDlg::bus_load() {
    return ::bus_load(bus::kBridgeText);
}

void CSerlinkDlg::bus_register(std::uint32_t mask, const char* name) {
    ::bus_register(m_hWnd, mask, name);
}

void CSerlinkDlg::bus_set_text(const char* name, const char* value) {
    ::bus_set_text(name, value);
}

void CSerlinkDlg::bus_unregister() {
    ::bus_unregister(m_hWnd);
}

void CSerlinkDlg::bus_unload() {
    ::bus_unload();
}

std::optional<std::string> CSerlinkDlg::bus_fetch(std::uint32_t handle) {
    std::uint32_t count = 0;
    const char* bytes = ::bus_fetch(handle, &count);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    // The bridge reads a payload as zero-terminated text.
    return std::string(bytes, strnlen(bytes, count));
}
