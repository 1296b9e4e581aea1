#include "fields.h"

#include <limits>

namespace probe {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

UnsignedField read_unsigned(std::string_view box, std::uint32_t max) {
    std::string_view digits = trim(box);
    std::uint64_t value = 0;
    bool valid = !digits.empty();
    for (char c : digits) {
        if (c < '0' || c > '9') {
            valid = false;
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max()) {
            valid = false;
            break;
        }
    }
    if (!valid) {
        return {std::nullopt, "Please enter an unsigned integer."};
    }
    if (value > max) {
        return {std::nullopt, "Please enter an integer between 0 and " + std::to_string(max) + "."};
    }
    return {static_cast<std::uint32_t>(value), ""};
}

} // namespace probe
