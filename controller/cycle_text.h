#pragma once
// Text helpers of the controller: its pane lines and records are UTF-16, while keywords
// and numbers are ASCII.
#include <string>
#include <string_view>

// Each byte of an ASCII text as one UTF-16 unit.
std::u16string Widen(std::string_view ascii);

// Exact, case-sensitive comparison of a received text with an ASCII keyword.
bool EqualsAscii(std::u16string_view text, std::string_view ascii);

// A number in decimal, as "%d" prints it.
std::u16string Decimal(long long value);
