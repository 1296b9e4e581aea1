#include "progtool_mode.h"

#include <array>
#include <utility>

namespace progtool {

namespace {

constexpr std::array<std::pair<std::string_view, mode>, 8> kModes{{
    {"pass", mode::pass},
    {"failed", mode::failed},
    {"cancel", mode::cancel},
    {"none", mode::none},
    {"hang", mode::hang},
    {"readonly", mode::readonly},
    {"spawn", mode::spawn},
    {"rewrite", mode::rewrite},
}};

std::u16string result_text(mode m) {
    switch (m) {
    case mode::pass:
    case mode::readonly:
    case mode::rewrite:
        return u"烧录完成 verify OK\r\n";
    case mode::failed:
        return u"烧录失败 verify failed at 0x08000400\r\n";
    case mode::cancel:
        return u"烧录中止 operation cancelled\r\n";
    case mode::none:
    case mode::hang:
    case mode::spawn:
        break;
    }
    return {};
}

} // namespace

std::optional<mode> parse_mode(std::string_view word) {
    for (const auto& [name, value] : kModes) {
        if (word == name) {
            return value;
        }
    }
    return std::nullopt;
}

std::string result_bytes(mode m) {
    const std::u16string text = result_text(m);
    if (text.empty()) {
        return {};
    }
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

plan_step take_first_line(std::string_view plan) {
    const auto end = plan.find('\n');
    std::string_view first = plan.substr(0, end);
    if (!first.empty() && first.back() == '\r') {
        first.remove_suffix(1);
    }
    const std::string_view rest = end == std::string_view::npos ? "" : plan.substr(end + 1);
    return {std::string(first), std::string(rest)};
}

} // namespace progtool
