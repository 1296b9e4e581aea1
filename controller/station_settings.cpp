#include "station_settings.h"

#include <charconv>
#include <string>

namespace {

// White space as Windows classifies it (the C library's iswspace there).
bool IsSpace(char16_t c) {
    return (c >= u'\t' && c <= u'\r') || c == u' ' || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

} // namespace

std::u16string Trim(std::u16string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsSpace(text[end - 1])) {
        --end;
    }
    return std::u16string(text.substr(begin, end - begin));
}

std::optional<int> ParseInteger(std::u16string_view text) {
    const std::u16string trimmed = Trim(text);
    std::string ascii;
    for (char16_t c : trimmed) {
        if (c >= 0x80) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    // from_chars takes a minus but no plus.
    const size_t start =
        !ascii.empty() && ascii[0] == '+' && ascii.size() > 1 && ascii[1] != '-' ? 1 : 0;
    int value = 0;
    const char* first = ascii.data() + start;
    const char* last = ascii.data() + ascii.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) {
        return std::nullopt;
    }
    return value;
}
