#pragma once
#include <cstdint>
#include <string_view>

namespace probe {

// The hexadecimal number at the start of the text (0-9, a-f, A-F, up to the first other
// character), kept to its low 32 bits; 0 when the text starts with no digit.
std::uint32_t leading_hex(std::string_view text);

} // namespace probe
