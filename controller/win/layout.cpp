#include "layout.h"

void CLayout::Attach(HWND dialog, const std::vector<Anchor>& anchors) {
    m_dialog = dialog;
    RECT client{};
    GetClientRect(dialog, &client);
    m_initial = {client.right, client.bottom};
    m_placed.clear();
    for (const Anchor& anchor : anchors) {
        HWND control = GetDlgItem(dialog, anchor.id);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        m_placed.push_back({anchor, rect});
    }
}

void CLayout::Resize(int width, int height) const {
    // The dialog is sized once before it is attached; a null window would repaint the screen.
    if (m_dialog == nullptr) {
        return;
    }
    const int dx = width - m_initial.cx;
    const int dy = height - m_initial.cy;
    for (const Placed& placed : m_placed) {
        const Anchor& a = placed.anchor;
        const RECT& r = placed.rect;
        const int left = r.left + (a.left ? dx : 0);
        const int top = r.top + (a.top ? dy : 0);
        const int right = r.right + (a.right ? dx : 0);
        const int bottom = r.bottom + (a.bottom ? dy : 0);
        SetWindowPos(GetDlgItem(m_dialog, a.id), nullptr, left, top, right - left, bottom - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The places the controls left.
    InvalidateRect(m_dialog, nullptr, TRUE);
}
