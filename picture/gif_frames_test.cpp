#include "gif_frames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

uint8_t Lo(int value) {
    return static_cast<uint8_t>(value & 0xFF);
}
uint8_t Hi(int value) {
    return static_cast<uint8_t>(value >> 8);
}

// A colour table of 2^(code+1) entries, distinct colours.
Bytes Table(int code) {
    Bytes table;
    for (int i = 0; i < (2 << code); ++i) {
        table.insert(table.end(), {Lo(i * 40), Lo(255 - i * 40), Lo(i * 7)});
    }
    return table;
}

// GIF89a header and logical screen; tableCode < 0: no global colour table.
Bytes Header(int width, int height, int tableCode) {
    uint8_t flags = tableCode < 0 ? 0 : static_cast<uint8_t>(0x80 | tableCode);
    Bytes head = {'G',       'I',        'F',        '8',   '9', 'a', Lo(width),
                  Hi(width), Lo(height), Hi(height), flags, 0,   0};
    return tableCode < 0 ? head : Cat({head, Table(tableCode)});
}

Bytes Control(int disposal, int delay) {
    return {0x21, 0xF9, 4, static_cast<uint8_t>(disposal << 2), Lo(delay), Hi(delay), 0, 0};
}

// An image block holding one pixel of colour 0 (LZW, minimum code size 2).
Bytes Image(int left, int top, int width = 1, int height = 1, int tableCode = -1) {
    uint8_t flags = tableCode < 0 ? 0 : static_cast<uint8_t>(0x80 | tableCode);
    Bytes descriptor = {0x2C,      Lo(left),  Hi(left),   Lo(top),    Hi(top),
                        Lo(width), Hi(width), Lo(height), Hi(height), flags};
    Bytes pixels = {2, 2, 0x44, 0x01, 0};
    return tableCode < 0 ? Cat({descriptor, pixels}) : Cat({descriptor, Table(tableCode), pixels});
}

Bytes SubBlocks(const std::string& text) {
    Bytes blocks;
    for (size_t at = 0; at < text.size(); at += 255) {
        std::string part = text.substr(at, 255);
        blocks.push_back(static_cast<uint8_t>(part.size()));
        blocks.insert(blocks.end(), part.begin(), part.end());
    }
    blocks.push_back(0);
    return blocks;
}

Bytes Comment(const std::string& text) {
    return Cat({{0x21, 0xFE}, SubBlocks(text)});
}

Bytes Looping() {
    Bytes head = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    return Cat({head, {3, 1, 0, 0, 0}});
}

Bytes PlainText(int left, int top, int width, int height) {
    Bytes head = {0x21,       0x01,    12,        Lo(left),  Hi(left),
                  Lo(top),    Hi(top), Lo(width), Hi(width), Lo(height),
                  Hi(height), 8,       8,         1,         0};
    return Cat({head, SubBlocks("hi")});
}

const Bytes kTrailer = {0x3B};

// Three frames at known offsets, as an encoder that writes every frame in full would.
struct ThreeFrames {
    Bytes head = Header(4, 2, 1);
    Bytes first = Cat({Control(2, 10), Image(0, 0)});
    Bytes second = Cat({Control(3, 150), Image(1, 1)});
    Bytes third = Cat({Control(0, 0), Image(3, 0)});
    Bytes data = Cat({head, first, second, third, kTrailer});
    uint32_t End(int frames) const {
        size_t end = head.size() + (frames > 0 ? first.size() : 0) +
                     (frames > 1 ? second.size() : 0) + (frames > 2 ? third.size() : 0);
        return static_cast<uint32_t>(end);
    }
};

TEST(GifFrames, IsGifLooksAtTheLettersOnly) {
    EXPECT_TRUE(IsGif(Bytes{'G', 'I', 'F'}));
    EXPECT_TRUE(IsGif(Header(1, 1, -1)));
    EXPECT_FALSE(IsGif(Bytes{'G', 'I'}));
    EXPECT_FALSE(IsGif(Bytes{'B', 'M', 'F', '8'}));
    EXPECT_FALSE(IsGif(Bytes{}));
}

TEST(GifFrames, CutsFramesWithRectanglesDelaysAndDisposals) {
    ThreeFrames gif;
    GifLayout layout = CutGif(gif.data);
    EXPECT_EQ(4, layout.width);
    EXPECT_EQ(2, layout.height);
    EXPECT_EQ(13u + 12u, layout.prefixSize);
    ASSERT_EQ(3u, layout.frames.size());
    EXPECT_EQ((GifFrame{gif.End(0), gif.End(1) - gif.End(0), {0, 0, 1, 1}, 10, 2}),
              layout.frames[0]);
    EXPECT_EQ((GifFrame{gif.End(1), gif.End(2) - gif.End(1), {1, 1, 1, 1}, 150, 3}),
              layout.frames[1]);
    EXPECT_EQ((GifFrame{gif.End(2), gif.End(3) - gif.End(2), {3, 0, 1, 1}, 0, 0}),
              layout.frames[2]);
}

TEST(GifFrames, ImageWithoutControlExtensionHasNoDelay) {
    GifLayout layout = CutGif(Cat({Header(2, 2, -1), Image(1, 0), Image(0, 1), kTrailer}));
    ASSERT_EQ(2u, layout.frames.size());
    EXPECT_EQ(13u, layout.frames[0].start);
    EXPECT_EQ(-1, layout.frames[0].delay);
    EXPECT_EQ(0, layout.frames[0].disposal);
    EXPECT_EQ((GifRect{0, 1, 1, 1}), layout.frames[1].rect);
}

TEST(GifFrames, ExtensionsAroundTheControlExtensionStillGiveOneFramePerImage) {
    Bytes head = Header(8, 8, 0);
    Bytes before = Cat({Looping(), Comment("made here")});
    // Encoders put their own application blocks between the control extension and the image.
    Bytes first = Cat({Control(1, 20), Looping(), Comment(std::string(300, 'x')), Image(0, 0)});
    Bytes between = Comment("between");
    // A second control extension before the image: the first one sets the timing.
    Bytes second = Cat({Control(2, 30), Control(3, 99), Image(2, 2)});
    Bytes after = Comment("after");
    GifLayout layout = CutGif(Cat({head, before, first, between, second, after, kTrailer}));
    ASSERT_EQ(2u, layout.frames.size());
    EXPECT_EQ(head.size() + before.size(), layout.frames[0].start);
    EXPECT_EQ(first.size(), layout.frames[0].length);
    EXPECT_EQ(20, layout.frames[0].delay);
    EXPECT_EQ(head.size() + before.size() + first.size() + between.size(), layout.frames[1].start);
    EXPECT_EQ(second.size(), layout.frames[1].length);
    EXPECT_EQ(30, layout.frames[1].delay);
    EXPECT_EQ(2, layout.frames[1].disposal);
}

TEST(GifFrames, LocalColourTablesAndPlainTextFrames) {
    Bytes withTable = Cat({Control(0, 5), Image(1, 2, 3, 4, 2)});
    Bytes text = Cat({Control(0, 5), PlainText(5, 6, 16, 8)});
    GifLayout layout = CutGif(Cat({Header(32, 16, -1), withTable, text, kTrailer}));
    ASSERT_EQ(2u, layout.frames.size());
    EXPECT_EQ(withTable.size(), layout.frames[0].length);
    EXPECT_EQ((GifRect{1, 2, 3, 4}), layout.frames[0].rect);
    // A plain-text frame is drawn over its text grid.
    EXPECT_EQ((GifRect{5, 6, 16, 8}), layout.frames[1].rect);
    EXPECT_EQ(text.size(), layout.frames[1].length);
}

TEST(GifFrames, StandaloneGifIsPrefixFrameAndTrailerAndCutsToTheSameFrame) {
    ThreeFrames gif;
    GifLayout layout = CutGif(gif.data);
    ASSERT_EQ(3u, layout.frames.size());
    Bytes standalone = StandaloneGif(gif.data, layout, layout.frames[1]);
    EXPECT_EQ(Cat({gif.head, gif.second, kTrailer}), standalone);

    GifLayout again = CutGif(standalone);
    ASSERT_EQ(1u, again.frames.size());
    EXPECT_EQ((GifFrame{static_cast<uint32_t>(gif.head.size()),
                        static_cast<uint32_t>(gif.second.size()), layout.frames[1].rect, 150, 3}),
              again.frames[0]);
}

TEST(GifFrames, SearchEndsAtTrailerOrUnrecognisedBlock) {
    Bytes head = Header(4, 4, -1);
    Bytes frame = Cat({Control(0, 10), Image(0, 0)});
    // Frames after the trailer or after a block nobody knows are not looked at.
    EXPECT_EQ(1u, CutGif(Cat({head, frame, kTrailer, frame})).frames.size());
    EXPECT_EQ(1u, CutGif(Cat({head, frame, Bytes{0x21, 0xAA, 1, 0, 0}, frame})).frames.size());
    EXPECT_EQ(1u, CutGif(Cat({head, frame, Bytes{0x00}, frame})).frames.size());
    // A control extension that no image follows is no frame.
    EXPECT_EQ(0u, CutGif(Cat({head, Control(0, 10), kTrailer})).frames.size());
    EXPECT_EQ(0u, CutGif(Cat({head, Control(0, 10), Bytes{0x21, 0xAA}, frame})).frames.size());
    EXPECT_EQ(0u, CutGif(Cat({head, kTrailer})).frames.size());
}

// Every prefix of a file is a truncated file: the frames that end within it are found, and
// nothing beyond it is read (the sanitizer sees every copy at its exact size).
TEST(GifFrames, TruncatedDataKeepsTheCompleteFramesOnly) {
    ThreeFrames gif;
    GifLayout full = CutGif(gif.data);
    for (size_t size = 0; size <= gif.data.size(); ++size) {
        Bytes cut(gif.data.begin(), gif.data.begin() + size);
        GifLayout layout = CutGif(cut);
        size_t expected = 0;
        while (expected < 3 && gif.End(static_cast<int>(expected) + 1) <= size) {
            ++expected;
        }
        ASSERT_EQ(expected, layout.frames.size()) << "cut after " << size << " bytes";
        for (size_t i = 0; i < expected; ++i) {
            EXPECT_EQ(full.frames[i], layout.frames[i]) << "cut after " << size << " bytes";
        }
    }
}

TEST(GifFrames, HostileSizesGiveNoFramesInsteadOfReadingBeyondTheData) {
    // Shorter than the screen descriptor.
    Bytes head = Header(4, 4, -1);
    EXPECT_EQ(0u, CutGif(Bytes(head.begin(), head.begin() + 12)).frames.size());
    // A global table of 768 bytes announced, 12 given.
    Bytes bigTable = Cat({Header(4, 4, 1), Control(0, 1), Image(0, 0)});
    bigTable[10] = 0x87;
    GifLayout layout = CutGif(bigTable);
    EXPECT_EQ(13u + 768u, layout.prefixSize);
    EXPECT_EQ(0u, layout.frames.size());
    // A local table running past the end, and sub-blocks that claim more than is there.
    Bytes image = Image(0, 0, 1, 1, 7);
    EXPECT_EQ(0u, CutGif(Cat({head, Bytes(image.begin(), image.begin() + 40)})).frames.size());
    EXPECT_EQ(0u, CutGif(Cat({head, Comment("x"), Bytes{0x2C}})).frames.size());
    Bytes runaway = Cat({head, Control(0, 1), Image(0, 0)});
    runaway[runaway.size() - 4] = 0xFF; // the pixel sub-block now claims 255 bytes
    EXPECT_EQ(0u, CutGif(runaway).frames.size());
    // Largest descriptor values are taken as they are.
    layout = CutGif(Cat({Header(0xFFFF, 0xFFFF, -1), Image(0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF)}));
    EXPECT_EQ(0xFFFF, layout.width);
    ASSERT_EQ(1u, layout.frames.size());
    EXPECT_EQ((GifRect{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}), layout.frames[0].rect);
}

} // namespace
