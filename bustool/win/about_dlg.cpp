#include "about_dlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() : CDialogBase(IDD_ABOUTBOX) {}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(m_hWnd, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}
