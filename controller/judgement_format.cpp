#include "judgement_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

void AppendFixed3(std::u16string& out, float value) {
    // A float has 24 significant bits and 1000 needs 7 more, so the product is exact in a
    // double; rounding it once gives printf's digits without printf's cost.
    const double thousandths = static_cast<double>(value) * 1000.0;
    char text[64];
    char* const end = text + sizeof text;
    char* start = end;
    if (std::fabs(thousandths) < 0x1p53) {
        auto rest = static_cast<uint64_t>(std::fabs(std::nearbyint(thousandths)));
        for (int digit = 0; digit < 3; ++digit) {
            *--start = static_cast<char>('0' + rest % 10);
            rest /= 10;
        }
        *--start = '.';
        do {
            *--start = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (std::signbit(value)) {
            *--start = '-';
        }
        out.append(start, end);
        return;
    }
    // Infinity, NaN, or beyond the exact range.
    const auto result =
        std::to_chars(text, end, static_cast<double>(value), std::chars_format::fixed, 3);
    out.append(text, result.ptr);
}
