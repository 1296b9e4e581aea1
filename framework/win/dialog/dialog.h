#pragma once
// A dialog from a template, run modally by its own message loop so that the dialog sees
// each message before the dialog manager does (PreTranslateMessage). The three programs'
// dialogs all derive from it.
#include <windows.h>

#include <string>

class CDialog {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog, with `owner` disabled meanwhile, until EndDialog; returns its result
    // (-1 when the template could not be created).
    INT_PTR DoModal(HWND owner);

protected:
    virtual ~CDialog() = default;

    // One message of the dialog; FALSE lets the dialog manager do the default handling.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // A message of the loop before the dialog manager sees it; true when it was handled.
    virtual bool PreTranslateMessage(MSG&) { return false; }
    // Ends the modal loop once the current message has been handled.
    void EndDialog(INT_PTR result);
    // Result of a handled message that returns a value through the dialog manager.
    INT_PTR SetResult(LRESULT result);

    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
    bool m_ended = false;
    INT_PTR m_result = 0;
};

// The whole text of a window.
std::wstring WindowText(HWND window);
// A message box captioned with the application's name.
int ShowMessage(HWND owner, const std::wstring& text, UINT type = MB_OK);
