// Any bytes: the cut never reads beyond the data, every frame lies within it, and each
// stand-alone frame cuts again to exactly that frame.
#include "gif_frames.h"

#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    std::span<const uint8_t> data(bytes, size);
    GifLayout layout = CutGif(data);
    uint64_t previousEnd = layout.prefixSize;
    for (const GifFrame& frame : layout.frames) {
        Check(frame.start >= previousEnd && frame.length > 0);
        previousEnd = uint64_t{frame.start} + frame.length;
        Check(previousEnd <= size);
        Check(frame.disposal >= 0 && frame.disposal <= 7);

        std::vector<uint8_t> standalone = StandaloneGif(data, layout, frame);
        Check(standalone.size() == layout.prefixSize + frame.length + 1);
        GifLayout again = CutGif(standalone);
        Check(again.frames.size() == 1);
        Check(again.frames[0].rect == frame.rect && again.frames[0].delay == frame.delay &&
              again.frames[0].disposal == frame.disposal && again.frames[0].length == frame.length);
    }
    return 0;
}
