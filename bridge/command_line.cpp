#include "command_line.h"

#include <climits>

namespace bridge {

namespace {

// Leading blanks, a sign and the digits that follow; the rest is ignored. Saturates
// instead of overflowing.
int read_number(std::u16string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) {
        negative = text[at] == u'-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        value = value * 10 + (text[at] - u'0');
        if (value > INT_MAX) {
            return negative ? INT_MIN : INT_MAX;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

link_arguments parse_command_line(std::u16string_view command_line) {
    link_arguments out;
    std::size_t last = command_line.rfind(u' ');
    if (last == std::u16string_view::npos) {
        return out;
    }
    out.mode = read_number(command_line.substr(last + 1));
    std::size_t before = last == 0 ? std::u16string_view::npos : command_line.rfind(u' ', last - 1);
    if (before != std::u16string_view::npos) {
        out.port_number = read_number(command_line.substr(before + 1, last - before - 1));
    }
    if (out.port_number < 1) {
        out.port_number = 1;
    }
    return out;
}

} // namespace bridge
