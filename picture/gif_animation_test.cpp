#include "gif_animation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Rect(const GifRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
           "," + std::to_string(r.height);
}

// Records what the animation asks for; stops on the given wait.
class RecordingStage : public IGifStage {
public:
    explicit RecordingStage(int stopOnWait) : m_stopOnWait(stopOnWait) {}

    void SaveArea(const GifRect& rect) override { trace.push_back("save " + Rect(rect)); }
    void RestoreArea(const GifRect& rect) override { trace.push_back("restore " + Rect(rect)); }
    bool DrawFrame(uint32_t index) override {
        trace.push_back("draw " + std::to_string(index));
        return drawWorks;
    }
    void FillArea(const GifRect& rect) override { trace.push_back("fill " + Rect(rect)); }
    void FillAll() override { trace.push_back("fill all"); }
    void Invalidate() override { trace.push_back("invalidate"); }
    bool StopRequested() override { return stopped; }
    bool WaitForStop(uint32_t ms) override {
        trace.push_back("wait " + std::to_string(ms));
        stopped = ++m_waits == m_stopOnWait;
        return stopped;
    }

    std::vector<std::string> trace;
    bool stopped = false;
    bool drawWorks = true;

private:
    int m_stopOnWait;
    int m_waits = 0;
};

GifFrame Frame(int left, int delay, int disposal) {
    GifFrame frame;
    frame.rect = {left, 0, 2, 2};
    frame.delay = delay;
    frame.disposal = disposal;
    return frame;
}

using Trace = std::vector<std::string>;

TEST(GifAnimation, WaitTimesRaiseShortAndMissingDelaysTo100Ms) {
    EXPECT_EQ(100u, GifFrameWaitMs(0));
    EXPECT_EQ(100u, GifFrameWaitMs(4));
    EXPECT_EQ(50u, GifFrameWaitMs(5));
    EXPECT_EQ(1500u, GifFrameWaitMs(150));
    EXPECT_EQ(655350u, GifFrameWaitMs(0xFFFF));
    // No control extension: shown like a zero delay, not held until stopped.
    EXPECT_EQ(100u, GifFrameWaitMs(-1));
}

TEST(GifAnimation, DisposesEachFrameAndClearsTheCanvasAfterTheLast) {
    std::vector<GifFrame> frames = {Frame(0, 10, 0), Frame(4, 0, 2), Frame(8, 5, 3)};
    RecordingStage stage(4);
    uint32_t index = 0;
    PlayGif(frames, stage, index);
    EXPECT_EQ((Trace{"draw 0", "invalidate", "wait 100",                 //
                     "draw 1", "invalidate", "wait 100", "fill 4,0,2,2", //
                     "save 8,0,2,2", "draw 2", "invalidate", "wait 50",  //
                     "restore 8,0,2,2", "fill all", "draw 0", "invalidate", "wait 100"}),
              stage.trace);
    EXPECT_EQ(0u, index);
}

TEST(GifAnimation, StopDuringAWaitLeavesThatFrameAndARestartDisposesItFirst) {
    std::vector<GifFrame> frames = {Frame(0, 10, 0), Frame(4, 20, 2)};
    RecordingStage first(2);
    uint32_t index = 0;
    PlayGif(frames, first, index);
    EXPECT_EQ((Trace{"draw 0", "invalidate", "wait 100", "draw 1", "invalidate", "wait 200"}),
              first.trace);
    EXPECT_EQ(1u, index);

    RecordingStage again(1);
    PlayGif(frames, again, index);
    EXPECT_EQ((Trace{"fill 4,0,2,2", "draw 1", "invalidate", "wait 200"}), again.trace);
    EXPECT_EQ(1u, index);
}

TEST(GifAnimation, FreshStartClearsABackgroundDisposedFirstFrame) {
    std::vector<GifFrame> frames = {Frame(6, 10, 2), Frame(0, 10, 0)};
    RecordingStage stage(1);
    uint32_t index = 7; // left over from a longer animation
    PlayGif(frames, stage, index);
    EXPECT_EQ((Trace{"fill 6,0,2,2", "draw 0", "invalidate", "wait 100"}), stage.trace);
}

TEST(GifAnimation, StoppedBeforeTheFirstFrameDrawsNothing) {
    std::vector<GifFrame> frames = {Frame(0, 10, 0), Frame(4, 10, 0)};
    RecordingStage stage(1);
    stage.stopped = true;
    uint32_t index = 0;
    PlayGif(frames, stage, index);
    EXPECT_EQ(Trace{}, stage.trace);
}

TEST(GifAnimation, AFrameThatCannotBeDrawnIsNotShownButStillTimed) {
    std::vector<GifFrame> frames = {Frame(0, 30, 0), Frame(4, 40, 0)};
    RecordingStage stage(2);
    stage.drawWorks = false;
    uint32_t index = 0;
    PlayGif(frames, stage, index);
    EXPECT_EQ((Trace{"draw 0", "wait 300", "draw 1", "wait 400"}), stage.trace);
}

} // namespace
