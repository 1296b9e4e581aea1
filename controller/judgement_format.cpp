#include "judgement_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

void AppendJudgementLine(std::u16string& text, const JudgementLine& line) {
    if (!text.empty()) {
        text += std::u16string_view(u"\r\n");
    }
    text += static_cast<char16_t>(u'0' + line.station);
    text += line.pass ? std::u16string_view(u"# PASS ") : std::u16string_view(u"# 错误 ");
    text += line.name;
    text += u'=';
    Fixed3Room room;
    text += FormatFixed3(line.value, room);
    text += line.unit;
    text += line.pass ? std::u16string_view(u" range=") : std::u16string_view(u" 范围=");
    text += FormatFixed3(line.limitB, room);
    text += std::u16string_view(u"___");
    text += FormatFixed3(line.limitA, room);
}

std::u16string_view FormatFixed3(float value, Fixed3Room& room) {
    char16_t* const end = room + kFixed3Max;
    // A float has 24 significant bits and 1000 needs 7 more, so the product is exact in a
    // double; rounding it once gives printf's digits without printf's cost.
    const double thousandths = std::fabs(static_cast<double>(value) * 1000.0);
    if (thousandths < 0x1p53) {
        auto rest = static_cast<uint64_t>(thousandths);
        // Below 2^53 the fraction is exact, so a tie is a real tie: it goes to even.
        const double fraction = thousandths - static_cast<double>(rest);
        if (fraction > 0.5 || (fraction == 0.5 && (rest & 1) != 0)) {
            ++rest;
        }
        char16_t* start = end;
        const auto decimals = static_cast<unsigned>(rest % 1000);
        rest /= 1000;
        *--start = static_cast<char16_t>(u'0' + decimals % 10);
        *--start = static_cast<char16_t>(u'0' + decimals / 10 % 10);
        *--start = static_cast<char16_t>(u'0' + decimals / 100);
        *--start = u'.';
        do {
            *--start = static_cast<char16_t>(u'0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (std::signbit(value)) {
            *--start = u'-';
        }
        return {start, static_cast<size_t>(end - start)};
    }
    // Infinity, NaN, or beyond the exact range.
    char text[kFixed3Max];
    const auto result = std::to_chars(text, text + kFixed3Max, static_cast<double>(value),
                                      std::chars_format::fixed, 3);
    const size_t size = static_cast<size_t>(result.ptr - text);
    std::copy(text, result.ptr, room);
    return {room, size};
}
