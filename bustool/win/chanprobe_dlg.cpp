#include "chanprobe_dlg.h"

#include "main_window.h"
#include "array_text.h"
#include "escapes.h"
#include "fields.h"
#include "keywords.h"
#include "library_views.h"
#include "resource.h"
#include "type_word.h"

#include <array>
#include <limits>

namespace {

// Filter boxes in field order, matching probe::FilterFlags.
constexpr std::array<int, probe::kFilterCount> kFilterIds = {
    IDC_FILTER_ADC, IDC_FILTER_CNT, IDC_FILTER_DEP, IDC_FILTER_TMR, IDC_FILTER_WTC,
    IDC_FILTER_ARR, IDC_FILTER_CTL, IDC_FILTER_STR, IDC_FILTER_ABS};

constexpr const char* kCaption = "chanprobe";
// A client that hangs does not freeze the probe for good.
constexpr UINT kEndSessionWaitMs = 30000;

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// Client-list handles are the low 32 bits of a window handle, which Windows sign-extends.
HWND HandleFromList(std::uint32_t handle) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

std::uint32_t ListHandleOf(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
}

} // namespace

CChanprobeDlg::CChanprobeDlg()
    : CDialog(IDD_CHANPROBE_DIALOG), m_direction("Read Value"), m_kind("Depth"),
      m_string("Hello from chanprobe"), m_array("01 05 09 00 02 09 00 00 01 03 03"),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

INT_PTR CChanprobeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) {
            return FALSE;
        }
        OnCommand(LOWORD(wParam));
        return TRUE;
    case bus::kWmBusEvent:
        return SetResult(OnBusEvent(wParam, lParam));
    case WM_SYSCOMMAND:
        return ShowAboutOnCommand(m_hWnd, wParam, IDM_ABOUTBOX, IDD_ABOUTBOX);
    case WM_PAINT:
        return PaintMinimisedIcon(m_hWnd, m_hIcon);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_QUERYENDSESSION:
        return SetResult(TRUE);
    case WM_ENDSESSION:
        if (wParam) {
            m_bus.Unload(m_hWnd);
        }
        return FALSE;
    case WM_DESTROY:
        m_bus.Unload(m_hWnd);
        return FALSE;
    }
    return FALSE;
}

BOOL CChanprobeDlg::OnInitDialog() {
    m_traffic.SubclassDlgItem(IDC_TRAFFIC, m_hWnd);
    m_varIndex = GetDlgItem(m_hWnd, IDC_VAR_INDEX);
    m_varValue = GetDlgItem(m_hWnd, IDC_VAR_VALUE);
    m_clientBox = GetDlgItem(m_hWnd, IDC_HANDLEINFO);
    m_varBox = GetDlgItem(m_hWnd, IDC_VARINFO);
    m_libText = GetDlgItem(m_hWnd, IDC_LIBTEXT);
    for (std::string_view entry : probe::kDirectionList) {
        SendDlgItemMessageA(m_hWnd, IDC_DIRECTION, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::string(entry).c_str()));
    }
    for (std::string_view entry : probe::kKindList) {
        SendDlgItemMessageA(m_hWnd, IDC_KIND, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(std::string(entry).c_str()));
    }
    WriteFields();

    AddAboutItem(m_hWnd, IDS_ABOUTBOX, IDM_ABOUTBOX);
    SetDialogIcons(m_hWnd, m_hIcon);

    if (m_bus.Load(m_hWnd)) {
        OnFilterChange();
    } else {
        MessageBoxA(m_hWnd, "load dll error!", kCaption, MB_OK);
    }
    RefreshViews();
    return TRUE;
}

void CChanprobeDlg::OnCommand(int id) {
    struct Entry {
        int id;
        void (CChanprobeDlg::*handler)();
    };
    static constexpr Entry kCommands[] = {
        {IDC_SEND, &CChanprobeDlg::OnSend},
        {IDC_SEND_STR, &CChanprobeDlg::OnSendStr},
        {IDC_SEND_ARR, &CChanprobeDlg::OnSendArr},
        {IDC_STOPALL, &CChanprobeDlg::OnStopAll},
        {IDC_FILTER_DEP, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_ADC, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_WTC, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_CNT, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_TMR, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_STR, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_ARR, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_CTL, &CChanprobeDlg::OnFilterChange},
        {IDC_FILTER_ABS, &CChanprobeDlg::OnFilterChange},
        {IDC_END_SESSION, &CChanprobeDlg::OnEndSession},
        {IDC_CLEAR, &CChanprobeDlg::OnClear},
        {IDC_REFRESH, &CChanprobeDlg::OnRefresh},
        {IDC_MODIFY, &CChanprobeDlg::OnModify},
        {IDOK, &CChanprobeDlg::OnOK},
        {IDCANCEL, &CChanprobeDlg::OnCancel},
    };
    for (const Entry& entry : kCommands) {
        if (entry.id == id) {
            (this->*entry.handler)();
            return;
        }
    }
}

void CChanprobeDlg::OnSend() {
    if (!ReadFields()) {
        return;
    }
    std::uint32_t type = probe::value_type_word(m_direction, m_kind, m_channel);
    if (bus::carries_payload(type)) {
        MessageBoxW(m_hWnd, L"请使用下面的参数发送!", L"chanprobe", MB_OK);
        return;
    }
    m_traffic.AddLine(probe::value_echo(type, m_value));
    Post(type, m_value, sizeof(std::uint32_t));
}

void CChanprobeDlg::OnSendStr() {
    if (!ReadFields()) {
        return;
    }
    std::uint32_t type = probe::string_type_word(m_channel);
    m_traffic.AddLine(probe::string_echo(type, m_string));
    m_string = probe::unescape_controls(m_string);
    Post(type, reinterpret_cast<std::uintptr_t>(m_string.c_str()),
         static_cast<std::uint32_t>(m_string.size()));
}

void CChanprobeDlg::OnSendArr() {
    if (!ReadFields() || m_array.empty()) {
        return;
    }
    std::vector<std::uint8_t> bytes = probe::parse_array_text(m_array);
    std::uint32_t type = probe::array_type_word(m_channel);
    m_traffic.AddLine(probe::array_echo(type, bytes));
    Post(type, reinterpret_cast<std::uintptr_t>(bytes.data()),
         static_cast<std::uint32_t>(bytes.size()));
}

void CChanprobeDlg::OnStopAll() {
    Post(bus::kStopAll, 0, 0);
}

void CChanprobeDlg::OnFilterChange() {
    if (!ReadFields()) {
        return;
    }
    if (m_bus.register_window != nullptr) {
        m_bus.register_window(m_hWnd, probe::filter_mask(m_filters), bus::keyword::kClientProbe);
    }
    RefreshViews();
}

void CChanprobeDlg::OnEndSession() {
    if (m_bus.get_info == nullptr) {
        return;
    }
    std::string clients = OrEmpty(m_bus.get_info(probe::kInfoClients));
    for (std::uint32_t handle : probe::end_session_targets(clients, ListHandleOf(m_hWnd))) {
        SendMessageTimeoutA(HandleFromList(handle), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG,
                            kEndSessionWaitMs, nullptr);
    }
    RefreshViews();
}

void CChanprobeDlg::OnClear() {
    m_traffic.Clear();
}

void CChanprobeDlg::OnRefresh() {
    RefreshViews();
}

void CChanprobeDlg::OnModify() {
    char index[32] = {};
    char value[32] = {};
    GetWindowTextA(m_varIndex, index, sizeof index);
    GetWindowTextA(m_varValue, value, sizeof value);
    if (m_bus.set_public_var == nullptr) {
        return;
    }
    m_bus.set_public_var(probe::variable_number(index), probe::variable_number(value));
    RefreshViews();
}

void CChanprobeDlg::OnOK() {
    if (ReadFields()) {
        EndDialog(IDOK);
    }
}

void CChanprobeDlg::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CChanprobeDlg::OnBusEvent(WPARAM type, LPARAM data) {
    std::uint32_t gap = m_tickGap.next(GetTickCount());
    auto fetch = [this](std::uint32_t handle) {
        std::uint32_t count = 0;
        const char* bytes = m_bus.getp != nullptr ? m_bus.getp(handle, &count) : nullptr;
        // A handle the library no longer knows gives no bytes rather than a bad read.
        return bytes != nullptr ? std::string_view(bytes, count) : std::string_view();
    };
    m_traffic.AddLine(probe::incoming_line(gap, static_cast<std::uint32_t>(type),
                                           static_cast<std::uint32_t>(data), fetch));
    return 0;
}

void CChanprobeDlg::WriteFields() {
    SetDlgItemTextA(m_hWnd, IDC_CHANNEL, std::to_string(m_channel).c_str());
    SetDlgItemTextA(m_hWnd, IDC_VALUE, std::to_string(m_value).c_str());
    SetDlgItemTextA(m_hWnd, IDC_DIRECTION, m_direction.c_str());
    SetDlgItemTextA(m_hWnd, IDC_KIND, m_kind.c_str());
    SetDlgItemTextA(m_hWnd, IDC_STRING, m_string.c_str());
    SetDlgItemTextA(m_hWnd, IDC_ARRAY, m_array.c_str());
    for (std::size_t i = 0; i < probe::kFilterCount; ++i) {
        CheckDlgButton(m_hWnd, kFilterIds[i], m_filters[i] ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool CChanprobeDlg::ReadFields() {
    probe::UnsignedField channel =
        probe::read_unsigned(ControlText(IDC_CHANNEL), probe::kMaxChannel);
    if (!channel.value) {
        return RejectField(IDC_CHANNEL, channel.problem);
    }
    m_channel = *channel.value;
    probe::UnsignedField value =
        probe::read_unsigned(ControlText(IDC_VALUE), std::numeric_limits<std::uint32_t>::max());
    if (!value.value) {
        return RejectField(IDC_VALUE, value.problem);
    }
    m_value = *value.value;
    m_direction = ControlText(IDC_DIRECTION);
    m_kind = ControlText(IDC_KIND);
    m_string = ControlText(IDC_STRING);
    m_array = ControlText(IDC_ARRAY);
    for (std::size_t i = 0; i < probe::kFilterCount; ++i) {
        m_filters[i] = IsDlgButtonChecked(m_hWnd, kFilterIds[i]) == BST_CHECKED;
    }
    return true;
}

bool CChanprobeDlg::RejectField(int id, const std::string& problem) {
    MessageBoxA(m_hWnd, problem.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
    HWND control = GetDlgItem(m_hWnd, id);
    SetFocus(control);
    SendMessageA(control, EM_SETSEL, 0, -1);
    return false;
}

std::string CChanprobeDlg::ControlText(int id) const {
    HWND control = GetDlgItem(m_hWnd, id);
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    int length = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void CChanprobeDlg::Post(std::uint32_t type, std::uintptr_t data, std::uint32_t length) {
    if (m_bus.post_data != nullptr) {
        m_bus.post_data(m_hWnd, type, data, length);
    }
}

void CChanprobeDlg::RefreshViews() {
    if (m_bus.get_info == nullptr) {
        return;
    }
    // Each text lasts only until the next call, so the version is copied first.
    std::string version = OrEmpty(m_bus.get_info(probe::kInfoVersion));
    const char* build = m_bus.get_info(probe::kInfoBuild);
    SetWindowTextA(m_hWnd, probe::library_title(version.c_str(), build).c_str());
    SetWindowTextA(m_clientBox, OrEmpty(m_bus.get_info(probe::kInfoClients)));
    SetWindowTextA(m_varBox, OrEmpty(m_bus.get_info(probe::kInfoPublicVars)));
    SetWindowTextA(m_libText, OrEmpty(m_bus.get_info(probe::kInfoExtra)));
}
