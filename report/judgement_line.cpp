#include "judgement_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace report {
namespace {

constexpr std::string_view pass_word = "# PASS ";
constexpr std::string_view fail_word = "# 错误 ";
constexpr std::string_view pass_limits = " range=";
constexpr std::string_view fail_limits = " 范围=";
constexpr std::string_view limit_separator = "___";

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

struct printed_number {
    double value = 0;
    int64_t thousandths = 0;
    bool exact = false; // whether thousandths holds the value
};

// Thousandths below this are exact in a double, and t / 1000.0 is then the double nearest
// the printed number, as from_chars would read it.
constexpr uint64_t exact_thousandths = uint64_t{1} << 53;

// Reads one printed number from the start of `text` and drops it: "%.3f" digits, or inf or
// nan as the controller prints values beyond its range.
std::optional<printed_number> take_number(std::string_view& text) {
    const bool negative = text.starts_with('-');
    const std::string_view body = text.substr(negative ? 1 : 0);
    for (const std::string_view word : {"inf", "nan"}) {
        if (body.starts_with(word)) {
            text.remove_prefix(word.size() + (negative ? 1 : 0));
            const double magnitude = word == "inf" ? std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::quiet_NaN();
            return printed_number{negative ? -magnitude : magnitude};
        }
    }
    uint64_t thousandths = 0;
    bool exact = true;
    size_t integer = 0;
    for (; integer < body.size() && is_digit(body[integer]); ++integer) {
        if (exact) {
            thousandths = thousandths * 10 + static_cast<uint64_t>(body[integer] - '0');
            exact = thousandths < exact_thousandths / 1000 + 1;
        }
    }
    const size_t end = integer + 4;
    if (integer == 0 || body.size() < end || body[integer] != '.' ||
        !std::all_of(body.begin() + integer + 1, body.begin() + end, is_digit)) {
        return std::nullopt;
    }
    const size_t size = end + (negative ? 1 : 0);
    printed_number number;
    if (exact) {
        thousandths = thousandths * 1000 + static_cast<uint64_t>(body[integer + 1] - '0') * 100 +
                      static_cast<uint64_t>(body[integer + 2] - '0') * 10 +
                      static_cast<uint64_t>(body[integer + 3] - '0');
        number.exact = thousandths < exact_thousandths;
    }
    if (number.exact) {
        const double magnitude = static_cast<double>(thousandths) / 1000.0;
        const auto signed_thousandths = static_cast<int64_t>(thousandths);
        number.value = negative ? -magnitude : magnitude;
        number.thousandths = negative ? -signed_thousandths : signed_thousandths;
    } else {
        const auto result = std::from_chars(text.data(), text.data() + size, number.value);
        if (result.ec != std::errc() || result.ptr != text.data() + size) {
            return std::nullopt;
        }
    }
    text.remove_prefix(size);
    return number;
}

} // namespace

std::optional<judgement_line> parse_judgement_line(std::string_view line) {
    if (line.empty() || line[0] < '1' || line[0] > '4') {
        return std::nullopt;
    }
    judgement_line result;
    result.slot = line[0] - '0';
    std::string_view rest = line.substr(1);
    if (rest.starts_with(pass_word)) {
        result.pass = true;
        rest.remove_prefix(pass_word.size());
    } else if (rest.starts_with(fail_word)) {
        rest.remove_prefix(fail_word.size());
    } else {
        return std::nullopt;
    }
    const std::string_view limits_word = result.pass ? pass_limits : fail_limits;
    const size_t limits_at = rest.rfind(limits_word);
    if (limits_at == std::string_view::npos) {
        return std::nullopt;
    }
    // A name may hold "=" itself: the value follows the last "=" that a number follows.
    const std::string_view head = rest.substr(0, limits_at);
    std::optional<printed_number> value;
    size_t equals = head.size();
    while (!value && equals != 0 && (equals = head.rfind('=', equals - 1)) != head.npos) {
        result.unit = head.substr(equals + 1);
        value = take_number(result.unit);
    }
    if (!value) {
        return std::nullopt;
    }
    result.name = head.substr(0, equals);
    result.value = value->value;
    result.value_thousandths = value->thousandths;
    result.has_thousandths = value->exact;

    std::string_view limits = rest.substr(limits_at + limits_word.size());
    const auto first = take_number(limits);
    if (!first || !limits.starts_with(limit_separator)) {
        return std::nullopt;
    }
    limits.remove_prefix(limit_separator.size());
    const auto second = take_number(limits);
    if (!second || !limits.empty()) {
        return std::nullopt;
    }
    // Limits that are not numbers stay as printed: no order holds between them.
    const double a = first->value;
    const double b = second->value;
    const bool ordered = !std::isnan(a) && !std::isnan(b);
    result.low = ordered ? std::min(a, b) : a;
    result.high = ordered ? std::max(a, b) : b;
    return result;
}

} // namespace report
