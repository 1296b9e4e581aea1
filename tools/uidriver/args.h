#pragma once
// Argument handling of the UI driver, kept free of Windows so it is tested natively.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uidriver {

// Decimal (optionally negative, taken as two's complement) or 0x-prefixed hexadecimal.
std::optional<std::uint64_t> parse_number(std::wstring_view text);

// Wait limit in milliseconds; an absent argument gives the fallback.
std::optional<unsigned> parse_wait(const wchar_t* arg, unsigned fallback);

// UTF-16 to UTF-8, so results reach the Linux side of a test intact.
std::string to_utf8(std::u16string_view text);

} // namespace uidriver
