#include "about_dlg.h"

CAboutDlg::CAboutDlg(int templateId) : CDialog(templateId) {}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}
