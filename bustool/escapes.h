#pragma once
// The five control characters the probe lets the user type as backslash pairs, and shows
// as backslash pairs when they arrive.
#include <string>
#include <string_view>

namespace probe {

// "\n", "\r", "\t", "\a" and "\b" typed as two characters become line feed, carriage
// return, tab, bell and backspace; every other character stays as it is.
std::string unescape_controls(std::string_view typed);

// The reverse, so that a received text shows on one line.
std::string escape_controls(std::string_view text);

} // namespace probe
