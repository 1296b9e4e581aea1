#pragma once
// The controller's text file. Reading finds the encoding (UTF-16 LE/BE with a byte-order
// mark, UTF-8 with or without one, else the ANSI code page) and returns wide text; an XLG
// file (one whose first block holds "<DATA>") reads as its header only. Writing is UTF-8
// without a byte-order mark.
#include "file.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char16_t kXlgHeaderNotFound[] = u"XLG HEADER NOT FOUND";
inline constexpr char kUnicodeToUtf8Failure[] = "ConvertUnicodeToUTF8 failure";
inline constexpr char16_t kUtf8ToUnicodeFailure[] = u"Convert UTF8 to Unicode failure";
inline constexpr char16_t kNoEnoughMemory[] = u"NO ENOUGH MEM";

class CUniFile : public framework::CFile {
public:
    using CFile::CFile;
    ~CUniFile() override = default;

    // Opens as CFile does. Opened for reading (no kModeCreate), also inspects the first
    // block to set the four fields below; then the next read must seek first.
    bool Open(const std::u16string& path, unsigned flags, uint32_t* error = nullptr) override;

    // The whole text, or the header of an XLG file.
    std::u16string ReadText();
    // The text from the current position up to "<DATA>", or kXlgHeaderNotFound.
    std::u16string ReadHeader();
    // Writes `text` as UTF-8 at the current position, nothing added; false if the write
    // failed. Text that cannot be converted is written as kUnicodeToUtf8Failure.
    bool WriteText(std::u16string_view text);

    bool m_bDataMarker = false; // the first block holds "<DATA>"
    bool m_bUTF8 = false;       // the text is UTF-8
    int32_t m_nBOMSize = 0;     // 0 none, 2 UTF-16, 3 UTF-8; reading starts there
    bool m_bBigEndian = false;  // with m_nBOMSize 2: FE FF
};

// The system's ANSI code page to wide text; kNoEnoughMemory when it cannot convert.
std::u16string ConvertAnsiToUnicode(std::string_view bytes);
// UTF-8 to wide text; malformed sequences become U+FFFD; kUtf8ToUnicodeFailure when it
// cannot convert.
std::u16string ConvertUTF8ToUnicode(std::string_view bytes);
// Well-formed UTF-8 up to the first zero byte, with no control character other than tab,
// line feed and carriage return; false for null.
bool IsUTF8Text(const char* bytes);
