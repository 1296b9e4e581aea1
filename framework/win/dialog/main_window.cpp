#include "main_window.h"

#include "about_dlg.h"

void SetDialogIcons(HWND dialog, HICON icon) {
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void AddAboutItem(HWND dialog, UINT textId, UINT commandId) {
    wchar_t about[64] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), textId, about, 64) > 0) {
        HMENU menu = GetSystemMenu(dialog, FALSE);
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, commandId, about);
    }
}

bool ShowAboutOnCommand(HWND dialog, WPARAM command, UINT commandId, int templateId) {
    if ((command & 0xFFF0) != commandId) {
        return false;
    }
    CAboutDlg(templateId).DoModal(dialog);
    return true;
}

bool PaintMinimisedIcon(HWND dialog, HICON icon) {
    if (!IsIconic(dialog)) {
        return false;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    SendMessageW(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(dialog, &client);
    DrawIcon(dc, (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
             (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
    EndPaint(dialog, &paint);
    return true;
}
