#pragma once
// Reading the number boxes back from the dialog, with the messages that name a problem.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace probe {

inline constexpr std::uint32_t kMaxChannel = 255;

struct UnsignedField {
    std::optional<std::uint32_t> value; // empty when the box does not hold a valid number
    std::string problem;                // the message shown to the user then
};

// An unsigned decimal number (blanks around it allowed) no greater than max.
UnsignedField read_unsigned(std::string_view box, std::uint32_t max);

} // namespace probe
