#include "keywords.h"

#include <cstdio>
#include <cstring>

namespace bus::keyword {

std::string powering_up(int index) {
    char text[32];
    std::snprintf(text, sizeof text, kPoweringUpFormat, index);
    return text;
}

std::optional<int> powering_up_index(std::string_view text) {
    constexpr std::size_t prefix = sizeof kPoweringUpPrefix - 1;
    if (text.size() != prefix + 1 || text.compare(0, prefix, kPoweringUpPrefix) != 0) {
        return std::nullopt;
    }
    char c = text[prefix];
    // Read as a number would be: a non-digit counts as 0.
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace bus::keyword
