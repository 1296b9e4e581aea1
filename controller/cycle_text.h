#pragma once
// Text helpers of the controller: its pane lines and records are UTF-16, while keywords
// and numbers are ASCII.
#include <string>
#include <string_view>

// The rule line that opens the test and the write sections of the panes.
inline constexpr std::u16string_view kRule =
    u"---------------------------------------------------------";

// Each byte of an ASCII text as one UTF-16 unit.
std::u16string Widen(std::string_view ascii);

// Exact, case-sensitive comparison of a received text with an ASCII keyword.
bool EqualsAscii(std::u16string_view text, std::string_view ascii);

// A number in decimal, as "%d" prints it.
std::u16string Decimal(long long value);
