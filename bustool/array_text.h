#pragma once
// The array box of the probe: hexadecimal byte values, each opened by a space.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace probe {

inline constexpr std::size_t kMaxArrayBytes = 20;

// Each space opens one byte: the hexadecimal digits right after it (none give 0; a longer
// number keeps its low 8 bits), and the text in front of the first space counts as if a
// space preceded it. At most kMaxArrayBytes bytes are taken.
std::vector<std::uint8_t> parse_array_text(std::string_view text);

} // namespace probe
