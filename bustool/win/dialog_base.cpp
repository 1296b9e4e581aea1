#include "dialog_base.h"

INT_PTR CDialogBase::DoModal(HWND parent) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::SetResult(LRESULT result) {
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CDialogBase*>(lParam)->m_hWnd = hwnd;
    }
    auto* self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    // Messages before WM_INITDIALOG (the font) find no object yet.
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}
