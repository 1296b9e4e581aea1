// Cuts an animated GIF into stand-alone one-image GIFs, one per frame, with their timing,
// so that a decoder that only understands still images can draw every frame.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct GifRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const GifRect&) const = default;
};

// One frame: where its bytes lie in the file, where it is drawn, how long and how it goes.
struct GifFrame {
    uint32_t start = 0;  // offset of its first block
    uint32_t length = 0; // through the end of its image or plain-text block
    GifRect rect;
    int32_t delay = -1; // hundredths of a second; -1 without a graphic control extension
    int32_t disposal = 0;
    bool operator==(const GifFrame&) const = default;
};

// The logical screen and the frames found one after the other until the first block that is
// unrecognised, the trailer, or does not end within the data.
struct GifLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t prefixSize = 0; // header, screen descriptor and global colour table
    std::vector<GifFrame> frames;
};

// The data starts with the letters G, I, F (the version that follows is not examined).
bool IsGif(std::span<const uint8_t> data);

// Data too short for its screen descriptor or colour table, or longer than a 32-bit signed
// size, has no frames.
GifLayout CutGif(std::span<const uint8_t> data);

// Header, screen descriptor and global table, then the frame's blocks, then the trailer.
std::vector<uint8_t> StandaloneGif(std::span<const uint8_t> data, const GifLayout& layout,
                                   const GifFrame& frame);
