#include "owner_draw_static.h"

#include <cstring>
#include <string>

void COwnerDrawStatic::SubclassDlgItem(int id, HWND parent) {
    m_hWnd = GetDlgItem(parent, id);
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_defaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
}

void COwnerDrawStatic::AddLine(std::string_view text) {
    probe::Band band = m_rows.add_line(text);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    rect.top = band.top;
    rect.bottom = band.top + band.height;
    RedrawWindow(m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COwnerDrawStatic::Clear() {
    m_rows.clear();
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CALLBACK COwnerDrawStatic::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<COwnerDrawStatic*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self->OnMessage(message, wParam, lParam);
}

LRESULT COwnerDrawStatic::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    // The rows answer as the control's text, so a test driver or screen reader can read them.
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_rows.listing().size());
    case WM_GETTEXT:
        return OnGetText(wParam, lParam);
    }
    return CallWindowProcA(m_defaultProc, m_hWnd, message, wParam, lParam);
}

void COwnerDrawStatic::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    for (int r = 0; r < probe::TrafficRows::kRows; ++r) {
        std::string label = m_rows.row_label(r);
        int y = probe::TrafficRows::row_y(r);
        TextOutA(dc, 0, y, label.data(), static_cast<int>(label.size()));
        const std::string& text = m_rows.row(r);
        TextOutA(dc, probe::TrafficRows::text_x(label), y, text.data(),
                 static_cast<int>(text.size()));
    }
    EndPaint(m_hWnd, &paint);
}

LRESULT COwnerDrawStatic::OnEraseBkgnd(HDC dc) {
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &rect, white);
    DeleteObject(white);
    return CallWindowProcA(m_defaultProc, m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

LRESULT COwnerDrawStatic::OnGetText(WPARAM size, LPARAM buffer) const {
    if (size == 0) {
        return 0;
    }
    std::string listing = m_rows.listing();
    std::size_t count = listing.size() < size ? listing.size() : size - 1;
    char* out = reinterpret_cast<char*>(buffer);
    std::memcpy(out, listing.data(), count);
    out[count] = '\0';
    return static_cast<LRESULT>(count);
}
