#include "option_dlg.h"

#include "bridge_ports.h"
#include "resource.h"
#include "wide.h"

#include <optional>

namespace {

constexpr int kStationIds[kStationCount] = {IDC_CHECK_STALL0, IDC_CHECK_STALL1, IDC_CHECK_STALL2,
                                            IDC_CHECK_STALL3};

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
    SetDlgItemInt(m_hWnd, IDC_PORT_QEL, static_cast<UINT>(m_settings.portQel), TRUE);
    SetDlgItemInt(m_hWnd, IDC_PORT_IO, static_cast<UINT>(m_settings.portIo), TRUE);
    SetDlgItemTextW(m_hWnd, IDC_PROGRAM_EXECUTE, ToWide(m_settings.programExecute).c_str());
    SetDlgItemTextW(m_hWnd, IDC_PROGRAM_RESULT, ToWide(m_settings.programResult).c_str());
    for (int i = 0; i < kStationCount; ++i) {
        CheckDlgButton(m_hWnd, kStationIds[i],
                       m_settings.stationEnabled[i] ? BST_CHECKED : BST_UNCHECKED);
    }
}

void COption::OnOK() {
    int portQel = 0;
    int portIo = 0;
    if (!ReadPort(IDC_PORT_QEL, portQel) || !ReadPort(IDC_PORT_IO, portIo)) {
        return;
    }
    m_settings.portQel = portQel;
    m_settings.portIo = portIo;
    m_settings.programExecute = Trim(ToU16(WindowText(Item(IDC_PROGRAM_EXECUTE))));
    m_settings.programResult = ToU16(WindowText(Item(IDC_PROGRAM_RESULT)));
    for (int i = 0; i < kStationCount; ++i) {
        m_settings.stationEnabled[i] = IsDlgButtonChecked(m_hWnd, kStationIds[i]) == BST_CHECKED;
    }
    EndDialog(IDOK);
}

bool COption::ReadPort(int id, int& port) {
    const std::optional<int> value = ParseInteger(ToU16(WindowText(Item(id))));
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
