#pragma once
// How much of a log pane's oldest text to drop so that it keeps taking lines through a whole
// shift without growing past a bound.
#include <cstddef>
#include <string_view>

// The number of leading characters of `text` to remove before `incoming` more characters are
// appended, so that the result stays within `bound`: 0 while it fits; otherwise whole lines
// ("\r\n"-ended) from the start, enough to bring the text down to three quarters of the
// bound, or all of it when no line end comes after that point.
std::size_t PaneTrimLength(std::u16string_view text, std::size_t incoming, std::size_t bound);
