#include "gif_frames.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <optional>

namespace {

constexpr uint32_t kScreenDescriptorEnd = 13;
constexpr uint64_t kMaxDataSize = std::numeric_limits<int32_t>::max();

// Flags bit 7: a colour table follows; bits 0-2: it has 2^(k+1) entries of 3 bytes.
uint32_t ColourTableSize(uint8_t flags) {
    return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0;
}

enum class Block { Image, PlainText, GraphicControl, Comment, Application, Trailer, Unknown };

// Walks the blocks of one GIF. Every offset it hands out lies within the data, and every
// length has been checked to end within it before a byte beyond the block's head is read.
class GifReader {
public:
    GifReader(std::span<const uint8_t> data, uint32_t start) : m_data(data), m_parsePos(start) {}

    std::optional<GifFrame> NextFrame() {
        Block kind = SkipWhile({Block::Comment, Block::Application});
        GifFrame frame;
        frame.start = m_parsePos;
        if (kind == Block::GraphicControl) {
            // The frame's timing is that of the first control extension; any extensions up
            // to its image belong to the frame but say nothing more.
            if (!BlockEnd(kind, m_parsePos)) {
                return std::nullopt;
            }
            frame.disposal = (m_data[m_parsePos + 3] >> 2) & 7;
            frame.delay = U16(m_parsePos + 4);
            kind = SkipWhile({Block::GraphicControl, Block::Comment, Block::Application});
        }
        if (kind != Block::Image && kind != Block::PlainText) {
            return std::nullopt;
        }
        auto end = BlockEnd(kind, m_parsePos);
        if (!end) {
            return std::nullopt;
        }
        // An image descriptor's rectangle starts at offset 1, a plain-text grid's at 3.
        uint32_t at = m_parsePos + (kind == Block::Image ? 1 : 3);
        frame.rect = {U16(at), U16(at + 2), U16(at + 4), U16(at + 6)};
        frame.length = *end - frame.start;
        m_parsePos = *end;
        return frame;
    }

private:
    // Moves past blocks of the given kinds; the kind of the block it stops at.
    Block SkipWhile(std::initializer_list<Block> skipped) {
        for (;;) {
            Block kind = KindAt(m_parsePos);
            if (std::find(skipped.begin(), skipped.end(), kind) == skipped.end()) {
                return kind;
            }
            auto end = BlockEnd(kind, m_parsePos);
            if (!end) {
                return Block::Unknown;
            }
            m_parsePos = *end;
        }
    }

    Block KindAt(uint32_t pos) const {
        if (pos >= m_data.size()) {
            return Block::Unknown;
        }
        switch (m_data[pos]) {
        case 0x2C:
            return Block::Image;
        case 0x3B:
            return Block::Trailer;
        case 0x21:
            break;
        default:
            return Block::Unknown;
        }
        if (pos + 1 >= m_data.size()) {
            return Block::Unknown;
        }
        switch (m_data[pos + 1]) {
        case 0xF9:
            return Block::GraphicControl;
        case 0xFE:
            return Block::Comment;
        case 0xFF:
            return Block::Application;
        case 0x01:
            return Block::PlainText;
        default:
            return Block::Unknown;
        }
    }

    // Offset just past the block, if the whole block lies within the data.
    std::optional<uint32_t> BlockEnd(Block kind, uint32_t pos) const {
        switch (kind) {
        case Block::GraphicControl:
            return Within(uint64_t{pos} + 8);
        case Block::Comment:
            return SubBlocksEnd(uint64_t{pos} + 2);
        case Block::Application:
            return SubBlocksEnd(uint64_t{pos} + 14);
        case Block::PlainText:
            return SubBlocksEnd(uint64_t{pos} + 15);
        case Block::Image: {
            if (!Within(uint64_t{pos} + 10)) {
                return std::nullopt;
            }
            uint8_t flags = m_data[pos + 9];
            // Descriptor, local colour table, then the LZW code size byte.
            return SubBlocksEnd(uint64_t{pos} + 10 + ColourTableSize(flags) + 1);
        }
        case Block::Trailer:
            return pos + 1;
        case Block::Unknown:
            break;
        }
        return std::nullopt;
    }

    // Data sub-blocks from pos through their zero terminator.
    std::optional<uint32_t> SubBlocksEnd(uint64_t pos) const {
        while (pos < m_data.size()) {
            uint8_t size = m_data[pos];
            if (size == 0) {
                return static_cast<uint32_t>(pos + 1);
            }
            pos += 1 + uint64_t{size};
        }
        return std::nullopt;
    }

    std::optional<uint32_t> Within(uint64_t end) const {
        if (end > m_data.size()) {
            return std::nullopt;
        }
        return static_cast<uint32_t>(end);
    }

    int32_t U16(uint32_t pos) const { return m_data[pos] | (m_data[pos + 1] << 8); }

    std::span<const uint8_t> m_data;
    uint32_t m_parsePos;
};

} // namespace

bool IsGif(std::span<const uint8_t> data) {
    return data.size() >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
}

GifLayout CutGif(std::span<const uint8_t> data) {
    GifLayout layout;
    if (data.size() < kScreenDescriptorEnd || data.size() > kMaxDataSize) {
        return layout;
    }
    layout.width = data[6] | (data[7] << 8);
    layout.height = data[8] | (data[9] << 8);
    layout.prefixSize = kScreenDescriptorEnd + ColourTableSize(data[10]);
    GifReader reader(data, layout.prefixSize);
    while (auto frame = reader.NextFrame()) {
        layout.frames.push_back(*frame);
    }
    return layout;
}

std::vector<uint8_t> StandaloneGif(std::span<const uint8_t> data, const GifLayout& layout,
                                   const GifFrame& frame) {
    std::vector<uint8_t> gif;
    gif.reserve(size_t{layout.prefixSize} + frame.length + 1);
    gif.insert(gif.end(), data.begin(), data.begin() + layout.prefixSize);
    auto run = data.subspan(frame.start, frame.length);
    gif.insert(gif.end(), run.begin(), run.end());
    gif.push_back(0x3B);
    return gif;
}
