#pragma once
// Searching UTF-16 text for one character, four characters per step: the judgement walks
// megabytes of tester text, and a character-by-character loop is most of its cost.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

// The position of the first `c` in `text` at or after `from`, or npos.
inline size_t FindChar(std::u16string_view text, char16_t c, size_t from = 0) {
    const char16_t* const data = text.data();
    const size_t size = text.size();
    size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint64_t kOnes = 0x0001000100010001;
        constexpr uint64_t kHighs = 0x8000800080008000;
        const uint64_t pattern = kOnes * c;
        for (; i + 4 <= size; i += 4) {
            uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            const uint64_t x = word ^ pattern;
            // A lane that was zero gets its high bit set; lanes above it may too, but the
            // lowest set bit always marks the first match.
            const uint64_t found = (x - kOnes) & ~x & kHighs;
            if (found != 0) {
                return i + static_cast<size_t>(std::countr_zero(found)) / 16;
            }
        }
    }
    for (; i < size; ++i) {
        if (data[i] == c) {
            return i;
        }
    }
    return std::u16string_view::npos;
}
