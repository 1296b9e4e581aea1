// The animation of a cut GIF: which frame is drawn, disposed and cleared when, and how long
// each one rests. The drawing itself is done by the platform through IGifStage.
#pragma once

#include "gif_frames.h"

#include <cstdint>
#include <span>

// The canvas the animation draws on, and its stop signal.
class IGifStage {
public:
    virtual ~IGifStage() = default;
    // Keeps the area under a frame with disposal 3 until RestoreArea puts it back.
    virtual void SaveArea(const GifRect& rect) = 0;
    // Puts the kept area back at rect and forgets it; nothing if none is kept.
    virtual void RestoreArea(const GifRect& rect) = 0;
    // Draws frame index scaled to its rectangle; false if the image could not be drawn.
    virtual bool DrawFrame(uint32_t index) = 0;
    virtual void FillArea(const GifRect& rect) = 0; // with the background colour
    virtual void FillAll() = 0;                     // the whole canvas, likewise
    virtual void Invalidate() = 0;                  // the screen must show the canvas again
    virtual bool StopRequested() = 0;
    // Rests for ms milliseconds unless stopped first; true if it was stopped.
    virtual bool WaitForStop(uint32_t ms) = 0;
};

// How long a frame stays: its delay in hundredths of a second, but at least 100 ms when the
// delay is under 5 or missing (-1).
uint32_t GifFrameWaitMs(int32_t delay);

// Plays frames (at least one) in a loop for ever, from frameIndex, until the stage is
// stopped; frameIndex is left at the frame that was showing.
void PlayGif(std::span<const GifFrame> frames, IGifStage& stage, uint32_t& frameIndex);
