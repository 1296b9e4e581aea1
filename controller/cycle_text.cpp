#include "cycle_text.h"

#include <algorithm>

std::u16string Widen(std::string_view ascii) {
    std::u16string wide(ascii.size(), u'\0');
    std::transform(ascii.begin(), ascii.end(), wide.begin(),
                   [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    return wide;
}

bool EqualsAscii(std::u16string_view text, std::string_view ascii) {
    return std::equal(text.begin(), text.end(), ascii.begin(), ascii.end(), [](char16_t w, char a) {
        return w == static_cast<char16_t>(static_cast<unsigned char>(a));
    });
}

std::u16string Decimal(long long value) {
    return Widen(std::to_string(value));
}
