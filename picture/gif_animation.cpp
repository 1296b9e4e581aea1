#include "gif_animation.h"

namespace {

constexpr uint32_t kShortDelayMs = 100;

void Dispose(const GifFrame& frame, IGifStage& stage) {
    switch (frame.disposal) {
    case 2:
        stage.FillArea(frame.rect);
        break;
    case 3:
        stage.RestoreArea(frame.rect);
        break;
    default:
        break;
    }
}

} // namespace

uint32_t GifFrameWaitMs(int32_t delay) {
    return delay >= 5 ? static_cast<uint32_t>(delay) * 10 : kShortDelayMs;
}

void PlayGif(std::span<const GifFrame> frames, IGifStage& stage, uint32_t& frameIndex) {
    if (frameIndex >= frames.size()) {
        frameIndex = 0;
    }
    // A restart leaves the frame that was showing as its disposal says first.
    Dispose(frames[frameIndex], stage);
    while (!stage.StopRequested()) {
        const GifFrame& frame = frames[frameIndex];
        if (frame.disposal == 3) {
            stage.SaveArea(frame.rect);
        }
        if (stage.DrawFrame(frameIndex)) {
            stage.Invalidate();
        }
        if (stage.StopRequested() || stage.WaitForStop(GifFrameWaitMs(frame.delay))) {
            return;
        }
        Dispose(frame, stage);
        if (++frameIndex == frames.size()) {
            frameIndex = 0;
            stage.FillAll();
        }
    }
}
