#include "picture_ex_surface.h"

bool CMemorySurface::Create(HDC compatible, int width, int height) {
    Release();
    HDC dc = CreateCompatibleDC(compatible);
    if (!dc) {
        return false;
    }
    HBITMAP bitmap = CreateCompatibleBitmap(compatible, width, height);
    if (!bitmap) {
        DeleteDC(dc);
        return false;
    }
    m_dc = dc;
    m_bitmap = bitmap;
    m_oldBitmap = SelectObject(dc, bitmap);
    return true;
}

void CMemorySurface::Release() {
    if (!m_dc) {
        return;
    }
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
}
