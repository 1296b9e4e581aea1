#include "option_dlg.h"

#include "bridge_ports.h"
#include "resource.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <optional>

namespace {

constexpr int kStationIds[kStationCount] = {IDC_CHECK_STALL0, IDC_CHECK_STALL1, IDC_CHECK_STALL2,
                                            IDC_CHECK_STALL3};

// A decimal integer with optional white space around it and an optional sign.
std::optional<int> ParseInteger(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    while (std::iswspace(*begin)) {
        ++begin;
    }
    const wchar_t* digits = (*begin == L'+' || *begin == L'-') ? begin + 1 : begin;
    if (!std::iswdigit(*digits)) {
        return std::nullopt;
    }
    errno = 0;
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(begin, &end, 10);
    while (std::iswspace(*end)) {
        ++end;
    }
    if (*end != L'\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace

COption::COption() : CDialog(IDD_OPTION) {}

INT_PTR COption::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void COption::OnInitDialog() {
    SetDlgItemInt(m_hWnd, IDC_PORT_QEL, static_cast<UINT>(m_portQel), TRUE);
    SetDlgItemInt(m_hWnd, IDC_PORT_IO, static_cast<UINT>(m_portIo), TRUE);
    SetDlgItemTextW(m_hWnd, IDC_PROGRAM_EXECUTE, m_programExecute.c_str());
    SetDlgItemTextW(m_hWnd, IDC_PROGRAM_RESULT, m_programResult.c_str());
    for (int i = 0; i < kStationCount; ++i) {
        CheckDlgButton(m_hWnd, kStationIds[i], m_stationEnabled[i] ? BST_CHECKED : BST_UNCHECKED);
    }
}

void COption::OnOK() {
    int portQel = 0;
    int portIo = 0;
    if (!ReadPort(IDC_PORT_QEL, portQel) || !ReadPort(IDC_PORT_IO, portIo)) {
        return;
    }
    m_portQel = portQel;
    m_portIo = portIo;
    m_programExecute = WindowText(Item(IDC_PROGRAM_EXECUTE));
    m_programResult = WindowText(Item(IDC_PROGRAM_RESULT));
    for (int i = 0; i < kStationCount; ++i) {
        m_stationEnabled[i] = IsDlgButtonChecked(m_hWnd, kStationIds[i]) == BST_CHECKED ? 1 : 0;
    }
    EndDialog(IDOK);
}

bool COption::ReadPort(int id, int& port) {
    const std::optional<int> value = ParseInteger(WindowText(Item(id)));
    const wchar_t* prompt = nullptr;
    if (!value) {
        prompt = L"请输入一个整数。";
    } else if (*value < kFirstPort || *value > kLastPort) {
        prompt = L"请输入一个介于 1 和 100 之间的整数。";
    } else {
        port = *value;
        return true;
    }
    ShowMessage(m_hWnd, prompt, MB_ICONEXCLAMATION);
    HWND field = Item(id);
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
}
