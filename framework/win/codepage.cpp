// The platform's own conversions without special flags: malformed input becomes U+FFFD or the
// code page's default character.
#include "codepage.h"

#include <climits>
#include <windows.h>

namespace framework {
namespace {

std::optional<std::u16string> ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) {
        return std::u16string();
    }
    if (bytes.size() > INT_MAX) {
        return std::nullopt;
    }
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<size_t>(count), L'\0');
    if (MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), count) != count) {
        return std::nullopt;
    }
    return std::u16string(wide.begin(), wide.end());
}

std::optional<std::string> FromWide(UINT codePage, std::u16string_view text) {
    if (text.empty()) {
        return std::string();
    }
    if (text.size() > INT_MAX) {
        return std::nullopt;
    }
    const std::wstring wide(text.begin(), text.end());
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(count), '\0');
    if (WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), count, nullptr,
                            nullptr) != count) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<std::u16string> AnsiToWide(std::string_view bytes) {
    return ToWide(CP_ACP, bytes);
}

std::optional<std::string> WideToAnsi(std::u16string_view text) {
    return FromWide(CP_ACP, text);
}

std::optional<std::u16string> Utf8ToWide(std::string_view bytes) {
    return ToWide(CP_UTF8, bytes);
}

std::optional<std::string> WideToUtf8(std::u16string_view text) {
    return FromWide(CP_UTF8, text);
}

} // namespace framework
