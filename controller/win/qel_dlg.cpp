#include "qel_dlg.h"

#include "main_window.h"
#include "binding.h"
#include "bridges.h"
#include "clock.h"
#include "file_system.h"
#include "keywords.h"
#include "module_path.h"
#include "option_dlg.h"
#include "resource.h"
#include "type_word.h"
#include "wide.h"

namespace {

constexpr UINT_PTR ID_TIMER_WATCH = 1;
constexpr UINT kWatchPeriodMs = 1000;
// Looks at the bridges just started until each is up or known not to be.
constexpr UINT_PTR ID_TIMER_BRIDGES = 2;
constexpr UINT kBridgeCheckMs = 500;
constexpr int kQrMaxChars = 14;
constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

// Result pane grows both ways, progress pane follows the bottom, banner grows in width and
// the version label follows the bottom; the rest stays.
const std::vector<CLayout::Anchor> kAnchors = {
    {.id = IDC_RESULT_LOG, .left = false, .top = false, .right = true, .bottom = true},
    {.id = IDC_PROGRESS_LOG, .left = false, .top = true, .right = true, .bottom = true},
    {.id = IDC_BANNER, .left = false, .top = false, .right = true, .bottom = false},
    {.id = IDC_VERSION, .left = false, .top = true, .right = false, .bottom = true},
};

} // namespace

CqelDlg::CqelDlg()
    : CDialog(IDD_QEL_DIALOG),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_versionText(L"1.0.10 Oct 27 2025"), m_profile(kRegistryKey, ExecutableName()),
      m_records(framework::PlatformFileSystem(), framework::PlatformClock(),
                [this](const std::u16string& text) { m_controller.ShowMessageLater(text); }),
      m_controller(*this, m_process, m_records, framework::PlatformFileSystem()) {}

CqelDlg::~CqelDlg() {
    for (const auto& [id, bitmap] : m_bitmaps) {
        DeleteObject(bitmap);
    }
}

INT_PTR CqelDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) {
            return FALSE;
        }
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return ShowAboutOnCommand(m_hWnd, wParam, IDM_ABOUTBOX, IDD_ABOUTBOX);
    case WM_PAINT:
        return PaintMinimisedIcon(m_hWnd, m_hIcon);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_SIZE:
        m_layout.Resize(LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_TIMER:
        if (wParam == ID_TIMER_BRIDGES) {
            CheckBridges();
        } else {
            m_controller.OnTimer();
        }
        return TRUE;
    case bus::kWmBusEvent:
        OnBusEvent(wParam, lParam);
        return TRUE;
    case kWmFlushPanes:
        FlushPanes();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    }
    return FALSE;
}

// Enter, as a barcode scanner sends it after a code, moves on to the next control instead of
// pressing the default button.
bool CqelDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        msg.wParam = VK_TAB;
    }
    return false;
}

BOOL CqelDlg::OnInitDialog() {
    // The controls as the dialog binds them.
    for (int id = IDC_QR1; id <= IDC_QR4; ++id) {
        SendMessageW(Item(id), EM_LIMITTEXT, kQrMaxChars, 0);
    }
    m_resultPane.Attach(Item(IDC_RESULT_LOG), m_hWnd, kWmFlushPanes);
    m_progressPane.Attach(Item(IDC_PROGRESS_LOG), m_hWnd, kWmFlushPanes);
    SetDlgItemTextW(m_hWnd, IDC_VERSION, m_versionText.c_str());
    m_busy.Attach(Item(IDC_BUSY));
    m_layout.Attach(m_hWnd, kAnchors);

    AddAboutItem(m_hWnd, IDS_ABOUTBOX, IDM_ABOUTBOX);
    SetDialogIcons(m_hWnd, m_hIcon);

    m_controller.m_settings = LoadSettings(m_profile);

    if (!bus_load(bus::kControllerText)) {
        ::ShowMessage(m_hWnd, L"Load dll failure!");
    } else {
        bus_register(m_hWnd, bus::kKindString, bus::keyword::kClientController);
    }

    ShowBusyImage(u"busy_status.bmp");
    m_controller.ResetStations(true);
    // A result left from an earlier run must not be judged later.
    if (!m_controller.m_settings.programResult.empty()) {
        DeleteFileW(ToWide(m_controller.m_settings.programResult).c_str());
    }
    SetTimer(m_hWnd, ID_TIMER_WATCH, kWatchPeriodMs, nullptr);
    SetFocus(Item(IDC_QR1));
    StartBridges();
    ShowWindow(m_hWnd, SW_SHOWMAXIMIZED);
    return FALSE; // the focus is set
}

void CqelDlg::OnCommand(int id) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(id);
        break;
    case IDC_CLAMP:
        m_controller.OnClamp();
        break;
    case IDC_TEST:
        m_controller.OnTest();
        break;
    case IDC_WRITE:
        m_controller.OnWrite();
        break;
    case IDC_SETTINGS:
        OnSettings();
        break;
    }
}

void CqelDlg::OnBusEvent(WPARAM wParam, LPARAM lParam) {
    const auto type = static_cast<std::uint32_t>(wParam);
    // Only bridge text carries a payload handle worth fetching.
    if (!bus::controller_accepts(type)) {
        return;
    }
    std::uint32_t count = 0;
    const char* bytes = bus_fetch(static_cast<std::uint32_t>(lParam), &count);
    if (bytes != nullptr) {
        m_controller.OnBusEvent(type, std::string_view(bytes, count));
    } else {
        m_controller.OnLostBusEvent(type);
    }
}

void CqelDlg::OnSettings() {
    COption option;
    option.m_settings = m_controller.m_settings;
    if (option.DoModal(m_hWnd) != IDOK) {
        return;
    }
    m_controller.m_settings = option.m_settings;
    // Stored at once, so that a crash does not lose them.
    SaveSettings(m_profile, m_controller.m_settings);
    CloseBridges();
    StartBridges();
    m_controller.ResetStations(true);
}

void CqelDlg::OnDestroy() {
    SaveSettings(m_profile, m_controller.m_settings);
    bus_unregister(m_hWnd);
    bus_unload();
    CloseBridges();
}

void CqelDlg::StartBridges() {
    for (BridgeLaunch launch :
         ::StartBridges(m_controller.m_settings.portQel, m_controller.m_settings.portIo)) {
        if (launch.process == nullptr) {
            ReportNotStarted(launch.port);
        } else {
            m_bridgeWatch.Add(launch.port, launch.process);
        }
    }
    if (!m_bridgeWatch.Empty()) {
        SetTimer(m_hWnd, ID_TIMER_BRIDGES, kBridgeCheckMs, nullptr);
    }
}

void CqelDlg::CheckBridges() {
    for (int port : m_bridgeWatch.Check()) {
        ReportNotStarted(port);
    }
    if (m_bridgeWatch.Empty()) {
        KillTimer(m_hWnd, ID_TIMER_BRIDGES);
    }
}

void CqelDlg::ReportNotStarted(int port) {
    m_controller.AppendProgress(u"can not start qel_link_com" + ToU16(std::to_wstring(port)));
}

void CqelDlg::CloseBridges() {
    // The bridges being closed are no longer waited for.
    m_bridgeWatch.Clear();
    KillTimer(m_hWnd, ID_TIMER_BRIDGES);
    const StationSettings& settings = m_controller.m_settings;
    for (int port : ::CloseBridges({settings.portQel, settings.portIo})) {
        m_controller.AppendProgress(u"can not close qel_link_com" + ToU16(std::to_wstring(port)));
    }
}
