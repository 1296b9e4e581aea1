// A tiny dialog that the UI driver's own test drives: copy appends the input to the
// pane, and the input "box" raises a message box whose answer is appended too.
#include "resource.h"

#include <windows.h>

namespace {

void append(HWND dlg, const wchar_t* text) {
    HWND pane = GetDlgItem(dlg, IDC_PANE);
    int end = GetWindowTextLengthW(pane);
    SendMessageW(pane, EM_SETSEL, end, end);
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
}

void on_copy(HWND dlg) {
    wchar_t input[256] = {};
    GetDlgItemTextW(dlg, IDC_INPUT, input, 256);
    append(dlg, input);
    if (lstrcmpW(input, L"box") == 0) {
        int answer = MessageBoxW(dlg, L"你好 box", L"testdlg", MB_OKCANCEL);
        append(dlg, answer == IDOK ? L"answer ok" : L"answer cancel");
    }
}

INT_PTR CALLBACK dialog_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowTextW(dlg, L"驱动测试");
        return TRUE;
    case WM_APP:
        append(dlg, L"WM_APP");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_COPY) {
            on_copy(dlg);
        } else if (LOWORD(wparam) == IDCANCEL) {
            EndDialog(dlg, 0);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TESTDLG), nullptr, dialog_proc, 0));
}
