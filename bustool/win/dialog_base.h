#pragma once
// A modal dialog from a template: one static dialog procedure that hands every message to
// the object's OnMessage.
#include <windows.h>

class CDialogBase {
public:
    explicit CDialogBase(int templateId) : m_templateId(templateId) {}
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    INT_PTR DoModal(HWND parent);

protected:
    ~CDialogBase() = default;

    // One message of the dialog; FALSE lets the dialog manager do the default handling.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Result of a handled message that returns a value through the dialog manager.
    INT_PTR SetResult(LRESULT result);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    int m_templateId;
};
