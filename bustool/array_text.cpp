#include "array_text.h"

#include "leading_hex.h"

#include <string>

namespace probe {

std::vector<std::uint8_t> parse_array_text(std::string_view text) {
    std::string rest(1, ' ');
    rest += text;
    std::string_view remaining = rest;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < kMaxArrayBytes) {
        std::size_t space = remaining.find(' ');
        if (space == std::string_view::npos) {
            break;
        }
        remaining.remove_prefix(space + 1);
        bytes.push_back(static_cast<std::uint8_t>(leading_hex(remaining) & 0xFF));
    }
    return bytes;
}

} // namespace probe
