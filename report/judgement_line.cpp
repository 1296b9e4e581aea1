#include "judgement_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// Reads one printed number from the start of `text` and drops it: "%.3f" digits, or inf or
// nan as the controller prints values beyond its range.
std::optional<double> take_number(std::string_view& text) {
    const bool negative = text.starts_with('-');
    const std::string_view body = text.substr(negative ? 1 : 0);
    for (const std::string_view word : {"inf", "nan"}) {
        if (body.starts_with(word)) {
            text.remove_prefix(word.size() + (negative ? 1 : 0));
            const double magnitude = word == "inf" ? std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::quiet_NaN();
            return negative ? -magnitude : magnitude;
        }
    }
    size_t integer = 0;
    while (integer < body.size() && is_digit(body[integer])) {
        ++integer;
    }
    const size_t end = integer + 4;
    if (integer == 0 || body.size() < end || body[integer] != '.' ||
        !std::all_of(body.begin() + integer + 1, body.begin() + end, is_digit)) {
        return std::nullopt;
    }
    const size_t size = end + (negative ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + size, value);
    if (result.ec != std::errc() || result.ptr != text.data() + size) {
        return std::nullopt;
    }
    text.remove_prefix(size);
    return value;
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
    std::optional<double> value;
    size_t equals = head.size();
    while (!value && equals != 0 && (equals = head.rfind('=', equals - 1)) != head.npos) {
        result.unit = head.substr(equals + 1);
        value = take_number(result.unit);
    }
    if (!value) {
        return std::nullopt;
    }
    result.name = head.substr(0, equals);
    result.value = *value;

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
    const bool ordered = !std::isnan(*first) && !std::isnan(*second);
    result.low = ordered ? std::min(*first, *second) : *first;
    result.high = ordered ? std::max(*first, *second) : *second;
    return result;
}

} // namespace report
