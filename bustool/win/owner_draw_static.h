#pragma once
// The traffic list: a static control whose 40 rows the probe draws itself. Adding a line
// repaints only the band of the written row and the blank row after it.
#include "traffic_rows.h"

#include <windows.h>

#include <string_view>

class COwnerDrawStatic {
public:
    COwnerDrawStatic() = default;
    COwnerDrawStatic(const COwnerDrawStatic&) = delete;
    COwnerDrawStatic& operator=(const COwnerDrawStatic&) = delete;

    // Takes over the dialog's control with this id.
    void SubclassDlgItem(int id, HWND parent);
    void AddLine(std::string_view text);
    void Clear();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    LRESULT OnEraseBkgnd(HDC dc);
    LRESULT OnGetText(WPARAM size, LPARAM buffer) const;

    probe::TrafficRows m_rows;
    HWND m_hWnd = nullptr;
    WNDPROC m_defaultProc = nullptr;
};
