#include "unifile.h"

#include "codepage.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr size_t kFirstBlockSize = 62000; // read one byte less, then a zero
constexpr size_t kChunkSize = 2048;
constexpr char kDataMarker[] = "<DATA>";

bool StartsWith(const std::vector<unsigned char>& block, size_t count,
                std::initializer_list<unsigned char> mark) {
    return count >= mark.size() && std::equal(mark.begin(), mark.end(), block.begin());
}

// The text of bytes up to their first zero, in the file's narrow encoding.
std::u16string DecodeNarrow(const char* bytes, bool utf8) {
    return utf8 ? ConvertUTF8ToUnicode(bytes) : ConvertAnsiToUnicode(bytes);
}

} // namespace

bool CUniFile::Open(const std::u16string& path, unsigned flags, uint32_t* error) {
    if (!CFile::Open(path, flags, error)) {
        return false;
    }
    if (flags & framework::kModeCreate) {
        return true;
    }
    m_bDataMarker = false;
    m_bUTF8 = false;
    m_nBOMSize = 0;
    m_bBigEndian = false;

    std::vector<unsigned char> block(kFirstBlockSize, 0);
    const size_t count = Read(block.data(), kFirstBlockSize - 1);
    const char* text = reinterpret_cast<const char*>(block.data());
    m_bDataMarker = std::strstr(text, kDataMarker) != nullptr;
    if (StartsWith(block, count, {0xEF, 0xBB, 0xBF})) {
        m_bUTF8 = true;
        m_nBOMSize = 3;
    } else if (StartsWith(block, count, {0xFE, 0xFF})) {
        m_bBigEndian = true;
        m_nBOMSize = 2;
    } else if (StartsWith(block, count, {0xFF, 0xFE})) {
        m_nBOMSize = 2;
    } else {
        m_bUTF8 = IsUTF8Text(text);
        Seek(0, begin);
    }
    return true;
}

std::u16string CUniFile::ReadText() {
    Seek(m_nBOMSize, begin);
    if (m_nBOMSize == 2) {
        std::vector<unsigned char> bytes(GetLength());
        const size_t count = Read(bytes.data(), bytes.size());
        std::u16string text;
        text.reserve(count / 2);
        // An odd last byte is dropped; the text ends at its first zero character.
        for (size_t i = 0; i + 1 < count; i += 2) {
            const unsigned first = bytes[i];
            const unsigned second = bytes[i + 1];
            const auto unit =
                static_cast<char16_t>(m_bBigEndian ? first << 8 | second : second << 8 | first);
            if (unit == 0) {
                break;
            }
            text.push_back(unit);
        }
        return text;
    }
    if (m_bDataMarker) {
        return ReadHeader();
    }
    std::vector<char> bytes(GetLength() + 1, '\0');
    Read(bytes.data(), bytes.size() - 1);
    return DecodeNarrow(bytes.data(), m_bUTF8);
}

std::u16string CUniFile::ReadHeader() {
    // Two chunks and a zero: the previous chunk stays, so a marker across a chunk boundary
    // is still found.
    char window[2 * kChunkSize + 1];
    size_t held = 0;
    const char* found = nullptr;
    while (found == nullptr) {
        if (held > kChunkSize) {
            std::memmove(window, window + kChunkSize, held - kChunkSize);
            held -= kChunkSize;
        }
        const size_t count = Read(window + held, kChunkSize);
        if (count == 0) {
            return kXlgHeaderNotFound;
        }
        held += count;
        window[held] = '\0';
        found = std::strstr(window, kDataMarker);
    }
    const uint64_t marker = GetPosition() - held + static_cast<uint64_t>(found - window);
    const uint64_t start = static_cast<uint64_t>(m_nBOMSize);
    std::vector<char> header((marker > start ? marker - start : 0) + 1, '\0');
    Seek(m_nBOMSize, begin);
    Read(header.data(), header.size() - 1);
    return DecodeNarrow(header.data(), m_bUTF8);
}

bool CUniFile::WriteText(std::u16string_view text) {
    const auto utf8 = framework::WideToUtf8(text);
    const std::string_view bytes = utf8 ? std::string_view(*utf8) : kUnicodeToUtf8Failure;
    return Write(bytes.data(), bytes.size());
}
