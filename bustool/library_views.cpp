#include "library_views.h"

#include "leading_hex.h"

namespace probe {

namespace {

constexpr std::size_t kVariableBoxChars = 31;

bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

std::string library_title(const char* version, const char* build) {
    return std::string("LUMO(") + (version ? version : "") + ") Build(" + (build ? build : "") +
           ") ZETOL(v1.0-0-g6fa9e40) Build(2021-07-19)";
}

std::vector<std::uint32_t> end_session_targets(std::string_view clients, std::uint32_t own) {
    std::string list;
    for (char c : clients) {
        if (c != '\r') {
            list += c;
        }
    }
    std::vector<std::uint32_t> targets;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find('\n', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::uint32_t handle = leading_hex(std::string_view(list).substr(start, end - start));
        if (handle != 0 && handle != own) {
            targets.push_back(handle);
        }
        start = end + 1;
    }
    return targets;
}

std::uint32_t variable_number(std::string_view box) {
    std::string_view text = box.substr(0, kVariableBoxChars);
    std::size_t i = 0;
    while (i < text.size() && is_space(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    return negative ? 0u - value : value;
}

} // namespace probe
