#include "judgement.h"

#include "judgement_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Leading white space and an optional sign, as the C library's conversions skip them.
size_t SkipSpaceAndSign(std::u16string_view text, std::string& out) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        out.push_back(static_cast<char>(text[i]));
        ++i;
    }
    return i;
}

size_t TakeDigits(std::u16string_view text, size_t i, std::string& out) {
    while (i < text.size() && IsDigit(text[i])) {
        out.push_back(static_cast<char>(text[i]));
        ++i;
    }
    return i;
}

// A decimal number as the C library reads one: digits with an optional fraction and
// exponent, up to the first character that does not fit; no number reads as 0.
double ReadNumber(std::u16string_view text) {
    std::string number;
    size_t i = SkipSpaceAndSign(text, number);
    if (number == "+") {
        number.clear(); // from_chars takes no plus sign
    }
    const size_t mantissaStart = number.size();
    i = TakeDigits(text, i, number);
    if (i < text.size() && text[i] == u'.') {
        number.push_back('.');
        i = TakeDigits(text, i + 1, number);
    }
    if (number.find_first_of("0123456789", mantissaStart) == std::string::npos) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent = "e";
        size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent.push_back(static_cast<char>(text[j]));
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            TakeDigits(text, j, exponent);
            number += exponent;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow to infinity or underflow to zero, as strtod rounds them; the program
        // never leaves the "C" locale, so its decimal point is '.'.
        return std::strtod(number.c_str(), nullptr);
    }
    return value;
}

// A decimal integer as the C library reads one, saturated at the int range.
long long ReadInteger(std::u16string_view text) {
    std::string number;
    const size_t i = SkipSpaceAndSign(text, number);
    TakeDigits(text, i, number);
    long long value = 0;
    const bool negative = !number.empty() && number[0] == '-';
    for (const char c : number) {
        if (c >= '0' && c <= '9') {
            value = std::min<long long>(value * 10 + (c - '0'), INT_MAX + 1LL);
        }
    }
    return negative ? -value : std::min<long long>(value, INT_MAX);
}

// Narrowing to single precision with IEEE rounding; a double beyond the float range would
// be undefined behaviour in a plain cast.
float ToSingle(double value) {
    // Half an ulp above FLT_MAX: from here on the nearest float is infinity.
    constexpr double kOverflow = static_cast<double>(FLT_MAX) + 0x1p103;
    if (std::fabs(value) >= kOverflow) {
        return value < 0 ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// The station number 1 to 4 of a name "R12_2"; no suffix, 0 or a negative number is 1.
int StationOf(std::u16string_view name) {
    const size_t underscore = name.find(u'_');
    if (underscore == std::u16string_view::npos) {
        return 1;
    }
    const long long number = ReadInteger(name.substr(underscore + 1));
    return number < 1                       ? 1
           : number > CJudgement::kStations ? CJudgement::kStations
                                            : static_cast<int>(number);
}

} // namespace

void CJudgement::JudgeGroup(std::u16string_view group) {
    // "show" and its separator.
    if (!group.starts_with(u"show") || group.size() < 5) {
        return;
    }
    std::u16string_view rest = group.substr(5);
    // F0, name, F2, value, limit A, limit B.
    std::array<std::u16string_view, 6> fields;
    for (std::u16string_view& field : fields) {
        const size_t slash = rest.find(u'/');
        if (slash == std::u16string_view::npos) {
            return;
        }
        field = rest.substr(0, slash);
        rest.remove_prefix(slash + 1);
    }
    // The unit stands between the last two "/" of the tail.
    const size_t last = rest.rfind(u'/');
    if (last == std::u16string_view::npos) {
        return;
    }
    const std::u16string_view kept = rest.substr(0, last);
    const size_t unitStart = kept.rfind(u'/');
    if (unitStart == std::u16string_view::npos) {
        return;
    }
    const std::u16string_view unit = kept.substr(unitStart + 1);

    const std::u16string_view fullName = fields[1];
    if (fullName.empty()) {
        return;
    }
    const int station = StationOf(fullName);
    const std::u16string_view name = fullName.substr(0, fullName.find(u'_'));

    const float value = ToSingle(ReadNumber(fields[3]));
    const float limitA = ToSingle(ReadNumber(fields[4]));
    const float limitB = ToSingle(ReadNumber(fields[5]));
    // Comparisons with NaN are false, so a value or limit that is not a number fails.
    const bool pass = (limitB <= value && value <= limitA) || (limitA <= value && value <= limitB);

    std::u16string& target = pass ? m_passText[station - 1] : m_errText[station - 1];
    if (!target.empty()) {
        target += u"\r\n";
    }
    target += static_cast<char16_t>(u'0' + station);
    target += pass ? u"# PASS " : u"# 错误 ";
    target += name;
    target += u'=';
    AppendFixed3(target, value);
    target += unit;
    target += pass ? u" range=" : u" 范围=";
    AppendFixed3(target, limitB);
    target += u"___";
    AppendFixed3(target, limitA);
}
