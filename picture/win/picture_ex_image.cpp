#include "picture_ex_image.h"

#include <cstring>
#include <utility>

namespace {

constexpr int kHimetricPerInch = 2540;

} // namespace

CPicture::~CPicture() {
    if (m_picture) {
        m_picture->Release();
    }
}

CPicture::CPicture(CPicture&& other) noexcept
    : m_picture(std::exchange(other.m_picture, nullptr)) {}

CPicture& CPicture::operator=(CPicture&& other) noexcept {
    std::swap(m_picture, other.m_picture);
    return *this;
}

CPicture CPicture::Decode(HGLOBAL block, DWORD size) {
    CPicture picture;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
        return picture;
    }
    void* decoded = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, &decoded))) {
        picture.m_picture = static_cast<IPicture*>(decoded);
    }
    stream->Release();
    return picture;
}

CPicture CPicture::Decode(std::span<const uint8_t> bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) {
        return {};
    }
    CPicture picture;
    if (void* target = GlobalLock(block)) {
        std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(block);
        picture = Decode(block, static_cast<DWORD>(bytes.size()));
    }
    GlobalFree(block);
    return picture;
}

SIZE CPicture::Himetric() const {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_picture->get_Width(&width);
    m_picture->get_Height(&height);
    return {width, height};
}

SIZE CPicture::PixelSize() const {
    SIZE himetric = Himetric();
    HDC screen = GetDC(nullptr);
    SIZE pixels = {MulDiv(himetric.cx, GetDeviceCaps(screen, LOGPIXELSX), kHimetricPerInch),
                   MulDiv(himetric.cy, GetDeviceCaps(screen, LOGPIXELSY), kHimetricPerInch)};
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool CPicture::Render(HDC dc, int left, int top, int width, int height) const {
    SIZE himetric = Himetric();
    // The source rectangle runs upwards in hundredths of a millimetre.
    return SUCCEEDED(m_picture->Render(dc, left, top, width, height, 0, himetric.cy, himetric.cx,
                                       -himetric.cy, nullptr));
}
