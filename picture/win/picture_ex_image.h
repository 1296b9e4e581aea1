// An image decoded by the platform decoder from a complete file in memory.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <span>

class CPicture {
public:
    CPicture() = default;
    ~CPicture();
    CPicture(CPicture&& other) noexcept;
    CPicture& operator=(CPicture&& other) noexcept;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // Empty when the decoder refuses the bytes. The block stays the caller's.
    static CPicture Decode(HGLOBAL block, DWORD size);
    static CPicture Decode(std::span<const uint8_t> bytes);

    explicit operator bool() const { return m_picture != nullptr; }
    // Size in pixels of the screen, converted from the decoder's hundredths of a millimetre.
    SIZE PixelSize() const;
    // Draws the whole image scaled to the rectangle; transparent pixels leave dc as it was.
    bool Render(HDC dc, int left, int top, int width, int height) const;

private:
    SIZE Himetric() const;

    IPicture* m_picture = nullptr;
};
