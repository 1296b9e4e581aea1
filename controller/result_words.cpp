#include "result_words.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;

constexpr std::array kWords = {"failed"sv, "cancel"sv, "f\0a\0i\0l\0e\0d\0"sv,
                               "c\0a\0n\0c\0e\0l\0"sv};
constexpr std::string_view kDataMarker = "<DATA>";
constexpr size_t kChunk = 64 * 1024;
// Bytes kept from one chunk for the next, so a word across the boundary is found.
constexpr size_t kOverlap = 11;

bool DecodedTextMentionsFailure(CUniFile& file) {
    const std::u16string text = file.ReadText();
    return text.find(u"failed") != std::u16string::npos ||
           text.find(u"cancel") != std::u16string::npos;
}

// Reads the file from its start in chunks; for an XLG file stops at its marker. A file
// that cannot be read to its end counts as failed: its unread part may say so.
bool RawBytesMentionFailure(CUniFile& file) {
    file.Seek(0, framework::CFile::begin);
    const uint64_t length = file.GetLength();
    uint64_t read = 0;
    std::vector<char> window(kOverlap + kChunk);
    size_t held = 0;
    for (;;) {
        const size_t count = file.Read(window.data() + held, kChunk);
        if (count == 0) {
            return read < length;
        }
        read += count;
        std::string_view bytes(window.data(), held + count);
        if (file.m_bDataMarker) {
            bytes = bytes.substr(0, bytes.find(kDataMarker));
        }
        for (std::string_view word : kWords) {
            if (bytes.find(word) != std::string_view::npos) {
                return true;
            }
        }
        if (bytes.size() < held + count) {
            return false; // the header has ended
        }
        held = std::min(kOverlap, bytes.size());
        std::copy(bytes.end() - static_cast<std::ptrdiff_t>(held), bytes.end(), window.begin());
    }
}

} // namespace

bool ResultCountsAsFailure(CUniFile& file) {
    if (RawBytesMentionFailure(file)) {
        return true;
    }
    return file.GetLength() <= kMaxDecodedResult && DecodedTextMentionsFailure(file);
}
