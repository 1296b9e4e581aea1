#include "picture_ex.h"

#include "gif_frames.h"

#include <process.h>

#include <limits>
#include <optional>
#include <span>

namespace {

const wchar_t kOwnerProperty[] = L"CPictureEx";
constexpr DWORD kStopDeadlineMs = 5000;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<void, HandleCloser>;

struct BlockFreer {
    void operator()(HGLOBAL block) const { GlobalFree(block); }
};
using UniqueBlock = std::unique_ptr<void, BlockFreer>;

// Decodes the data into the scene; the size it shows at.
std::optional<SIZE> Decode(std::span<const uint8_t> data, HGLOBAL block, CPictureScene& scene) {
    std::optional<SIZE> size;
    if (!IsGif(data)) {
        CPicture still = CPicture::Decode(block, static_cast<DWORD>(data.size()));
        if (still) {
            size = still.PixelSize();
            scene.SetStill(std::move(still));
        }
        return size;
    }
    GifLayout layout = CutGif(data);
    if (layout.frames.size() == 1) {
        CPicture still = CPicture::Decode(block, static_cast<DWORD>(data.size()));
        if (!still) {
            return size;
        }
        scene.SetStill(std::move(still));
    } else {
        // A frame the decoder refuses is left out; the others play.
        for (const GifFrame& frame : layout.frames) {
            if (CPicture image = CPicture::Decode(StandaloneGif(data, layout, frame))) {
                scene.AddFrame(std::move(image), frame);
            }
        }
        if (scene.FrameCount() == 0) {
            return size;
        }
    }
    return SIZE{layout.width, layout.height};
}

unsigned __stdcall Animate(void* param) {
    std::unique_ptr<std::shared_ptr<CPictureScene>> scene(
        static_cast<std::shared_ptr<CPictureScene>*>(param));
    (*scene)->Play();
    return 0;
}

} // namespace

CPictureEx::~CPictureEx() {
    if (m_hwnd) {
        Detach();
    }
    UnloadImage();
}

bool CPictureEx::Attach(HWND control) {
    if (m_hwnd || !control || !SetPropW(control, kOwnerProperty, this)) {
        return false;
    }
    m_hwnd = control;
    m_staticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CPictureEx::WindowProc)));
    return true;
}

void CPictureEx::Detach() {
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_staticProc));
    RemovePropW(m_hwnd, kOwnerProperty);
    m_hwnd = nullptr;
}

LRESULT CALLBACK CPictureEx::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<CPictureEx*>(GetPropW(hwnd, kOwnerProperty));
    if (!self) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    WNDPROC staticProc = self->m_staticProc;
    switch (message) {
    case WM_PAINT:
        self->OnPaint();
        return 0;
    case WM_DESTROY:
        self->StopImage();
        break;
    case WM_NCDESTROY:
        self->Detach();
        break;
    default:
        break;
    }
    return CallWindowProcW(staticProc, hwnd, message, wparam, lparam);
}

void CPictureEx::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    if (dc && m_scene) {
        m_paintedFrame = m_scene->CopyTo(dc);
    }
    EndPaint(m_hwnd, &paint);
}

bool CPictureEx::LoadImageFile(const wchar_t* name) {
    // Others may read the file meanwhile, not write it.
    UniqueFile file(CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return false;
    }
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file.get(), &fileSize) ||
        fileSize.QuadPart > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    DWORD size = static_cast<DWORD>(fileSize.QuadPart);
    UniqueBlock block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) {
        return false;
    }
    void* bytes = GlobalLock(block.get());
    if (!bytes) {
        return false;
    }
    DWORD read = 0;
    bool complete = ReadFile(file.get(), bytes, size, &read, nullptr) && read == size;
    GlobalUnlock(block.get());
    return complete && LoadImageData(block.get(), size);
}

bool CPictureEx::LoadImageData(HGLOBAL block, DWORD size) {
    UnloadImage();
    const void* bytes = GlobalLock(block);
    if (!bytes) {
        return false;
    }
    auto scene = std::make_shared<CPictureScene>(m_hwnd);
    std::optional<SIZE> shown =
        Decode(std::span(static_cast<const uint8_t*>(bytes), size), block, *scene);
    GlobalUnlock(block);
    if (!shown) {
        return false;
    }
    m_size = *shown;
    SetWindowPos(m_hwnd, nullptr, 0, 0, m_size.cx, m_size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!scene->Prepare(m_size)) {
        return false;
    }
    m_scene = std::move(scene);
    return true;
}

bool CPictureEx::StartImage() {
    if (!m_scene) {
        return false;
    }
    if (m_scene->FrameCount() >= 2) {
        // A second thread would draw over the first and could never be stopped.
        if (!m_thread) {
            StartThread();
        }
        return false;
    }
    if (!m_scene->DrawStill()) {
        return false;
    }
    InvalidateRect(m_hwnd, nullptr, FALSE);
    return true;
}

void CPictureEx::StartThread() {
    auto* share = new std::shared_ptr<CPictureScene>(m_scene);
    uintptr_t thread = _beginthreadex(nullptr, 0, &Animate, share, 0, nullptr);
    if (thread == 0) {
        delete share;
        return;
    }
    m_thread = reinterpret_cast<HANDLE>(thread);
}

void CPictureEx::StopImage() {
    if (!m_thread) {
        return;
    }
    m_scene->RequestStop();
    if (WaitForSingleObject(m_thread, kStopDeadlineMs) == WAIT_OBJECT_0) {
        m_scene->ClearStop();
    } else {
        // Still drawing: the thread releases its share of the scene when it ends. The
        // control forgets it and shows nothing until the next load.
        m_scene.reset();
        m_paintedFrame = kNoFrame;
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
}

void CPictureEx::UnloadImage() {
    StopImage();
    m_scene.reset();
    m_paintedFrame = kNoFrame;
}
