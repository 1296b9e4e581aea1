#include "picture_ex_scene.h"

CPictureScene::CPictureScene(HWND control) : m_hwnd(control) {}

CPictureScene::~CPictureScene() {
    if (m_stopEvent) {
        CloseHandle(m_stopEvent);
    }
}

void CPictureScene::AddFrame(CPicture image, const GifFrame& frame) {
    m_images.push_back(std::move(image));
    m_frames.push_back(frame);
}

bool CPictureScene::Prepare(SIZE size) {
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_stopEvent) {
        return false;
    }
    HDC screen = GetDC(m_hwnd);
    bool created = screen && m_canvas.Create(screen, size.cx, size.cy);
    if (screen) {
        ReleaseDC(m_hwnd, screen);
    }
    if (!created) {
        return false;
    }
    m_size = size;
    m_backColor = GetSysColor(COLOR_BTNFACE);
    SetDCBrushColor(m_canvas.Dc(), GetSysColor(COLOR_MENU));
    RECT all = {0, 0, size.cx, size.cy};
    FillRect(m_canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    return true;
}

bool CPictureScene::DrawStill() {
    std::lock_guard lock(m_canvasLock);
    if (!m_still || !m_still.Render(m_canvas.Dc(), 0, 0, m_size.cx, m_size.cy)) {
        return false;
    }
    m_drawnFrame = 0;
    return true;
}

void CPictureScene::Play() {
    PlayGif(m_frames, *this, m_frameIndex);
}

void CPictureScene::RequestStop() {
    m_stopRequested = true;
    SetEvent(m_stopEvent);
}

void CPictureScene::ClearStop() {
    ResetEvent(m_stopEvent);
    m_stopRequested = false;
}

uint32_t CPictureScene::CopyTo(HDC dc) {
    std::lock_guard lock(m_canvasLock);
    BitBlt(dc, 0, 0, m_size.cx, m_size.cy, m_canvas.Dc(), 0, 0, SRCCOPY);
    return m_drawnFrame;
}

void CPictureScene::SaveArea(const GifRect& rect) {
    std::lock_guard lock(m_canvasLock);
    if (m_saved.Create(m_canvas.Dc(), rect.width, rect.height)) {
        BitBlt(m_saved.Dc(), 0, 0, rect.width, rect.height, m_canvas.Dc(), rect.left, rect.top,
               SRCCOPY);
    }
}

void CPictureScene::RestoreArea(const GifRect& rect) {
    std::lock_guard lock(m_canvasLock);
    if (m_saved) {
        BitBlt(m_canvas.Dc(), rect.left, rect.top, rect.width, rect.height, m_saved.Dc(), 0, 0,
               SRCCOPY);
        m_saved.Release();
        m_drawnFrame = kNoFrame;
    }
}

bool CPictureScene::DrawFrame(uint32_t index) {
    const GifRect& rect = m_frames[index].rect;
    std::lock_guard lock(m_canvasLock);
    if (!m_images[index].Render(m_canvas.Dc(), rect.left, rect.top, rect.width, rect.height)) {
        return false;
    }
    m_drawnFrame = index;
    return true;
}

void CPictureScene::FillArea(const GifRect& rect) {
    std::lock_guard lock(m_canvasLock);
    Fill({rect.left, rect.top, rect.left + rect.width, rect.top + rect.height});
}

void CPictureScene::FillAll() {
    std::lock_guard lock(m_canvasLock);
    Fill({0, 0, m_size.cx, m_size.cy});
}

void CPictureScene::Invalidate() {
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

bool CPictureScene::WaitForStop(uint32_t ms) {
    // A wait that fails counts as a stop, so the thread never spins.
    return WaitForSingleObject(m_stopEvent, ms) != WAIT_TIMEOUT;
}

// Called with the canvas locked. Once part of the canvas is cleared it shows no whole frame.
void CPictureScene::Fill(const RECT& rect) {
    SetDCBrushColor(m_canvas.Dc(), m_backColor);
    FillRect(m_canvas.Dc(), &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    m_drawnFrame = kNoFrame;
}
