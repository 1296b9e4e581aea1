// The busy indicator: a static control that shows a still image or animates a GIF on a
// thread of its own. Usage: UnloadImage(), LoadImageFile(name), and StartImage() if loaded.
#pragma once

#include "picture_ex_scene.h"

#include <windows.h>

#include <cstdint>
#include <memory>

class CPictureEx {
public:
    static constexpr uint32_t kNoFrame = CPictureScene::kNoFrame;

    CPictureEx() = default;
    ~CPictureEx();
    CPictureEx(const CPictureEx&) = delete;
    CPictureEx& operator=(const CPictureEx&) = delete;

    // Takes over painting of a static control of a dialog.
    bool Attach(HWND control);

    // name is looked up in the working directory when it has no path.
    bool LoadImageFile(const wchar_t* name);
    // size bytes from the block; the caller keeps and frees it.
    bool LoadImageData(HGLOBAL block, DWORD size);
    // True only when a still image was drawn; an animated GIF starts its thread instead.
    bool StartImage();
    void StopImage();
    void UnloadImage();

    SIZE ImageSize() const { return m_size; }
    size_t FrameCount() const { return m_scene ? m_scene->FrameCount() : 0; }
    bool IsAnimating() const { return m_thread != nullptr; }
    // The frame shown in full by the last paint, or kNoFrame.
    uint32_t PaintedFrame() const { return m_paintedFrame; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    void OnPaint();
    void Detach();
    void StartThread();

    HWND m_hwnd = nullptr;
    WNDPROC m_staticProc = nullptr;
    SIZE m_size{0, 0};
    std::shared_ptr<CPictureScene> m_scene; // none while nothing is loaded
    HANDLE m_thread = nullptr;
    uint32_t m_paintedFrame = kNoFrame;
};
