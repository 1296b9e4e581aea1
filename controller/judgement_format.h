#pragma once
// The line a judged measurement adds to its station's pass or error text.
#include <cstddef>
#include <string>
#include <string_view>

struct JudgementLine {
    int station; // 1 to 4
    bool pass;
    std::u16string_view name; // without the station suffix
    float value;
    std::u16string_view unit;
    float limitB; // printed first
    float limitA;
};

// Appends "%d# PASS %s=%.3f%s range=%.3f___%.3f", or for a failure
// "%d# 错误 %s=%.3f%s 范围=%.3f___%.3f", to `text`, after "\r\n" unless `text` is empty.
void AppendJudgementLine(std::u16string& text, const JudgementLine& line);

// Room for any float as "%.3f": a sign, 39 digits, the point and three decimals.
inline constexpr size_t kFixed3Max = 48;
using Fixed3Room = char16_t[kFixed3Max];
// `value` as "%.3f" prints it (three decimals, ties to even), written into `room`.
std::u16string_view FormatFixed3(float value, Fixed3Room& room);
