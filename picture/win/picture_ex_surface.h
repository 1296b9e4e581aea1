// A memory drawing surface with a bitmap of its own, compatible with a screen surface.
#pragma once

#include <windows.h>

class CMemorySurface {
public:
    CMemorySurface() = default;
    ~CMemorySurface() { Release(); }
    CMemorySurface(const CMemorySurface&) = delete;
    CMemorySurface& operator=(const CMemorySurface&) = delete;

    bool Create(HDC compatible, int width, int height);
    void Release();

    explicit operator bool() const { return m_dc != nullptr; }
    HDC Dc() const { return m_dc; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
