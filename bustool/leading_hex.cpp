#include "leading_hex.h"

#include "hex_digit.h"

namespace probe {

std::uint32_t leading_hex(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = framework::hex_digit(c);
        if (digit < 0) {
            break;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

} // namespace probe
