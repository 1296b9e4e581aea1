#include "judgement_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// Whether `text` holds `word` at `at`; the words are short, so no memcmp call.
bool holds_at(std::string_view text, size_t at, std::string_view word) {
    if (text.size() < at + word.size()) {
        return false;
    }
    for (size_t i = 0; i < word.size(); ++i) {
        if (text[at + i] != word[i]) {
            return false;
        }
    }
    return true;
}

// Reads one printed number from the start of `text` and drops it: "%.3f" digits, or inf or
// nan as the controller prints values beyond its range.
bool take_number(std::string_view& text, printed_number& number) {
    const bool negative = !text.empty() && text[0] == '-';
    const size_t start = negative ? 1 : 0;
    if (text.size() > start && !is_digit(text[start])) {
        const bool infinite = holds_at(text, start, "inf");
        if (!infinite && !holds_at(text, start, "nan")) {
            return false;
        }
        text.remove_prefix(start + 3);
        const double magnitude = infinite ? std::numeric_limits<double>::infinity()
                                          : std::numeric_limits<double>::quiet_NaN();
        number = {negative ? -magnitude : magnitude};
        return true;
    }
    uint64_t thousandths = 0;
    bool exact = true;
    size_t point = start;
    for (; point < text.size() && is_digit(text[point]); ++point) {
        if (exact) {
            thousandths = thousandths * 10 + static_cast<uint64_t>(text[point] - '0');
            exact = thousandths < exact_thousandths / 1000 + 1;
        }
    }
    const size_t end = point + 4;
    if (point == start || text.size() < end || text[point] != '.' || !is_digit(text[point + 1]) ||
        !is_digit(text[point + 2]) || !is_digit(text[point + 3])) {
        return false;
    }
    number = {};
    if (exact) {
        thousandths = thousandths * 1000 + static_cast<uint64_t>(text[point + 1] - '0') * 100 +
                      static_cast<uint64_t>(text[point + 2] - '0') * 10 +
                      static_cast<uint64_t>(text[point + 3] - '0');
        number.exact = thousandths < exact_thousandths;
    }
    if (number.exact) {
        const double magnitude = static_cast<double>(thousandths) / 1000.0;
        const auto signed_thousandths = static_cast<int64_t>(thousandths);
        number.value = negative ? -magnitude : magnitude;
        number.thousandths = negative ? -signed_thousandths : signed_thousandths;
    } else {
        const auto result = std::from_chars(text.data(), text.data() + end, number.value);
        if (result.ec != std::errc() || result.ptr != text.data() + end) {
            return false;
        }
    }
    text.remove_prefix(end);
    return true;
}

} // namespace

std::optional<judgement_line> parse_judgement_line(std::string_view line) {
    judgement_line result;
    return parse_judgement_line(line, result) ? std::optional(result) : std::nullopt;
}

bool parse_judgement_line(std::string_view line, judgement_line& result) {
    if (line.empty() || line[0] < '1' || line[0] > '4') {
        return false;
    }
    result.slot = line[0] - '0';
    result.pass = holds_at(line, 1, pass_word);
    if (!result.pass && !holds_at(line, 1, fail_word)) {
        return false;
    }
    const std::string_view rest = line.substr(1 + (result.pass ? pass_word : fail_word).size());
    // The limits word holds the last space of a line, as the limits after it hold none.
    const std::string_view limits_word = result.pass ? pass_limits : fail_limits;
    const size_t limits_at = rest.rfind(' ');
    if (limits_at == std::string_view::npos || !holds_at(rest, limits_at, limits_word)) {
        return false;
    }
    // A name may hold "=" itself: the value follows the last "=" that a number follows.
    const std::string_view head = rest.substr(0, limits_at);
    printed_number value;
    bool found = false;
    size_t equals = head.size();
    while (!found && equals != 0 && (equals = head.rfind('=', equals - 1)) != head.npos) {
        result.unit = head.substr(equals + 1);
        found = take_number(result.unit, value);
    }
    if (!found) {
        return false;
    }
    result.name = head.substr(0, equals);
    result.value = value.value;
    result.value_thousandths = value.thousandths;
    result.has_thousandths = value.exact;

    std::string_view limits = rest.substr(limits_at + limits_word.size());
    printed_number first, second;
    if (!take_number(limits, first) || !holds_at(limits, 0, limit_separator)) {
        return false;
    }
    limits.remove_prefix(limit_separator.size());
    if (!take_number(limits, second) || !limits.empty()) {
        return false;
    }
    // Limits that are not numbers stay as printed: no order holds between them.
    const double a = first.value;
    const double b = second.value;
    const bool ordered = !std::isnan(a) && !std::isnan(b);
    result.low = ordered ? std::min(a, b) : a;
    result.high = ordered ? std::max(a, b) : b;
    return true;
}

bool judgement_reader::read(size_t index, std::string_view line, judgement_line& result) {
    if (index < m_known.size() && reuse(m_known[index], line, result)) {
        return true;
    }
    if (!parse_judgement_line(line, result)) {
        return false;
    }
    if (index >= m_known.size()) {
        m_known.resize(index + 1);
    }
    known_line& known = m_known[index];
    const auto offset = [&](std::string_view part) {
        return static_cast<size_t>(part.data() + part.size() - line.data());
    };
    known.head = offset(result.name); // from after the slot up to the "=" and with it
    known.bytes.assign(line.substr(1, known.head));
    known.bytes.append(line.substr(offset(result.unit)));
    known.pass = result.pass;
    known.low = result.low;
    known.high = result.high;
    return true;
}

bool judgement_reader::reuse(const known_line& known, std::string_view line,
                             judgement_line& result) const {
    const size_t tail = known.bytes.size() - known.head;
    if (line.size() < 1 + known.head + tail || line[0] < '1' || line[0] > '4' ||
        std::memcmp(line.data() + 1, known.bytes.data(), known.head) != 0 ||
        std::memcmp(line.data() + line.size() - tail, known.bytes.data() + known.head, tail) != 0) {
        return false;
    }
    // The value, unless another "=" before the limits could lengthen the name.
    std::string_view measured = line.substr(1 + known.head, line.size() - tail - 1 - known.head);
    printed_number value;
    if (measured.find('=') != std::string_view::npos || !take_number(measured, value)) {
        return false;
    }
    const size_t name_at = 1 + (known.pass ? pass_word : fail_word).size();
    result.slot = line[0] - '0';
    result.pass = known.pass;
    result.name = line.substr(name_at, known.head - name_at); // up to the "="
    result.value = value.value;
    result.value_thousandths = value.thousandths;
    result.has_thousandths = value.exact;
    result.unit = measured;
    result.low = known.low;
    result.high = known.high;
    return true;
}

} // namespace report
