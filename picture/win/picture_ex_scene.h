// What a loaded picture shows: its decoded images and the canvas they are drawn on. The
// animation thread holds a share of it, so a thread that outlives the control's wait for it
// never draws with released images.
#pragma once

#include "gif_animation.h"
#include "picture_ex_image.h"
#include "picture_ex_surface.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class CPictureScene final : public IGifStage {
public:
    static constexpr uint32_t kNoFrame = UINT32_MAX;

    explicit CPictureScene(HWND control);
    ~CPictureScene() override;
    CPictureScene(const CPictureScene&) = delete;
    CPictureScene& operator=(const CPictureScene&) = delete;

    // Loading, before any thread runs.
    void SetStill(CPicture still) { m_still = std::move(still); }
    void AddFrame(CPicture image, const GifFrame& frame);
    size_t FrameCount() const { return m_frames.size(); }
    // The canvas of size filled with the menu colour, and the stop event.
    bool Prepare(SIZE size);

    // A still image drawn once, scaled to the whole canvas.
    bool DrawStill();

    // The animation thread's body; returns once stopped.
    void Play();
    void RequestStop();
    void ClearStop();

    // Paint: copies the canvas to dc; the frame it shows in full, or kNoFrame.
    uint32_t CopyTo(HDC dc);

    void SaveArea(const GifRect& rect) override;
    void RestoreArea(const GifRect& rect) override;
    bool DrawFrame(uint32_t index) override;
    void FillArea(const GifRect& rect) override;
    void FillAll() override;
    void Invalidate() override;
    bool StopRequested() override { return m_stopRequested; }
    bool WaitForStop(uint32_t ms) override;

private:
    void Fill(const RECT& rect);

    HWND m_hwnd;
    SIZE m_size{0, 0};
    COLORREF m_backColor = RGB(255, 255, 255);
    CPicture m_still;
    std::vector<CPicture> m_images;
    std::vector<GifFrame> m_frames;

    // The animation thread draws while the user-interface thread paints.
    std::mutex m_canvasLock;
    CMemorySurface m_canvas;
    CMemorySurface m_saved;
    uint32_t m_drawnFrame = kNoFrame;

    uint32_t m_frameIndex = 0; // the animation thread's, between runs the scene's
    std::atomic<bool> m_stopRequested{false};
    HANDLE m_stopEvent = nullptr;
};
