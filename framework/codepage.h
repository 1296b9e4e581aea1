#pragma once
// Conversions between UTF-16 and the narrow encodings: the system's ANSI code page (936,
// simplified Chinese, on the stations) and UTF-8. Exactly the bytes given are converted.
// Malformed input becomes U+FFFD (or the code page's default character), never a failure;
// nullopt means the platform could not convert at all.
#include <optional>
#include <string>
#include <string_view>

namespace framework {

std::optional<std::u16string> AnsiToWide(std::string_view bytes);
std::optional<std::string> WideToAnsi(std::u16string_view text);
std::optional<std::u16string> Utf8ToWide(std::string_view bytes);
std::optional<std::string> WideToUtf8(std::u16string_view text);

} // namespace framework
