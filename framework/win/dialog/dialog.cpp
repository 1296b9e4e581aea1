#include "dialog.h"

#include "module_path.h"

INT_PTR CDialog::DoModal(HWND owner) {
    m_ended = false;
    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) {
        return -1;
    }
    const bool ownerWasEnabled = owner != nullptr && !EnableWindow(owner, FALSE);
    // Its initialisation may have shown it already, in its own way.
    if (!IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOW);
    }
    MSG msg;
    bool quit = false;
    while (!m_ended) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (!PreTranslateMessage(msg) && !IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Give the focus back to the owner before this window goes, so it does not flicker away.
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    DestroyWindow(hwnd);
    if (quit) {
        PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return m_result;
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    // Wakes the loop if nothing else is queued.
    PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

INT_PTR CDialog::SetResult(LRESULT result) {
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->m_hWnd = hwnd;
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    // Messages before WM_INITDIALOG (the font) find no object yet.
    if (self == nullptr) {
        return FALSE;
    }
    const INT_PTR handled = self->OnMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->m_hWnd = nullptr;
    }
    return handled;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

int ShowMessage(HWND owner, const std::wstring& text, UINT type) {
    return MessageBoxW(owner, text.c_str(), ExecutableName().c_str(), type);
}
