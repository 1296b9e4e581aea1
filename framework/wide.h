#pragma once
// Between the portable code's UTF-16 strings and the Windows API's wchar_t strings, for the
// Windows shells (wchar_t is UTF-16 there).
#include <string>
#include <string_view>

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string ToU16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}
