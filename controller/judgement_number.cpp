#include "judgement_number.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
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
size_t SkipSpaceAndSign(std::u16string_view text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    return i;
}

// A mantissa of at most 19 digits and at most 2^53, scaled by at most 10^22 either way, is
// one exactly rounded operation on exact operands: the same double strtod gives.
constexpr int kFastDigits = 19;
constexpr uint64_t kFastMantissa = uint64_t{1} << 53;
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr int kExponentCap = 100000; // far beyond any double; keeps sums in range

// The library's conversion of an unsigned ASCII number, for what the fast path cannot do.
double Convert(std::u16string_view number) {
    const std::string ascii(number.begin(), number.end());
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow to infinity or underflow to zero, as strtod rounds them; the program
        // never leaves the "C" locale, so its decimal point is '.'.
        return std::strtod(ascii.c_str(), nullptr);
    }
    return result.ec == std::errc() ? value : 0.0;
}

// "inf", "infinity", "nan" or "nan(...)" at the start of `text`, in any case; else 0. The
// value does not depend on more than the first eight characters.
double ReadWord(std::u16string_view text) {
    std::string ascii;
    for (const char16_t c : text.substr(0, 8)) {
        if (c >= 0x80) {
            break;
        }
        ascii.push_back(static_cast<char>(c));
    }
    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

// Decimal digits from `i` on, added to `mantissa`; returns the position after them. Past 19
// digits the mantissa wraps, and the caller no longer uses it.
size_t TakeDigits(std::u16string_view text, size_t i, uint64_t& mantissa) {
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        mantissa = mantissa * 10 + (text[i] - u'0');
    }
    return i;
}

} // namespace

double ReadNumber(std::u16string_view text, bool* found) {
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    const size_t start = i;

    uint64_t mantissa = 0;
    i = TakeDigits(text, i, mantissa);
    int digits = static_cast<int>(i - start);
    int power = 0;
    if (i < text.size() && text[i] == u'.') {
        const size_t fraction = i + 1;
        i = TakeDigits(text, fraction, mantissa);
        power = -static_cast<int>(std::min<size_t>(i - fraction, kExponentCap));
        digits -= power;
    }
    if (digits == 0) {
        const bool word = start < text.size() && std::u16string_view(u"iInN").find(text[start]) !=
                                                     std::u16string_view::npos;
        // Without a number the sign is not taken either: "-" reads as +0. A word that
        // reads is infinite or not a number, never 0.
        const double value = word ? ReadWord(text.substr(start)) : 0.0;
        if (found != nullptr) {
            *found = value != 0.0;
        }
        return negative && value != 0.0 ? -value : value;
    }
    if (found != nullptr) {
        *found = true;
    }

    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == u'-';
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            int exponent = 0;
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                exponent = std::min(exponent * 10 + (text[j] - u'0'), kExponentCap);
            }
            power += negativeExponent ? -exponent : exponent;
            i = j;
        }
    }

    double value = 0.0;
    if (digits <= kFastDigits && mantissa <= kFastMantissa && std::abs(power) <= kMaxExactPower) {
        const double m = static_cast<double>(mantissa);
        value = power < 0 ? m / kExactPowers[-power] : m * kExactPowers[power];
    } else {
        value = Convert(text.substr(start, i - start));
    }
    return negative ? -value : value;
}

long long ReadInteger(std::u16string_view text) {
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = std::min<long long>(value * 10 + (text[i] - u'0'), INT_MAX + 1LL);
    }
    return negative ? -value : std::min<long long>(value, INT_MAX);
}

float ToSingle(double value) {
    // Half an ulp above FLT_MAX: from here on the nearest float is infinity, and a plain
    // cast of such a double would be undefined behaviour.
    constexpr double kOverflow = static_cast<double>(FLT_MAX) + 0x1p103;
    if (std::fabs(value) >= kOverflow) {
        return value < 0 ? -std::numeric_limits<float>::infinity()
                         : std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}
