#include "escapes.h"

namespace probe {

namespace {

struct Escape {
    std::string_view pair;
    std::string_view control;
};

// Replacement order of both directions.
constexpr Escape kEscapes[] = {
    {"\\n", "\n"}, {"\\r", "\r"}, {"\\t", "\t"}, {"\\a", "\a"}, {"\\b", "\b"}};

// Every occurrence of from, scanning left to right without rescanning what was put in.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string_view::npos;
         at = text.find(from, start)) {
        out.append(text.substr(start, at - start));
        out.append(to);
        start = at + from.size();
    }
    out.append(text.substr(start));
    return out;
}

} // namespace

std::string unescape_controls(std::string_view typed) {
    std::string text(typed);
    for (const Escape& e : kEscapes) {
        text = replace_all(text, e.pair, e.control);
    }
    return text;
}

std::string escape_controls(std::string_view text) {
    std::string shown(text);
    for (const Escape& e : kEscapes) {
        shown = replace_all(shown, e.control, e.pair);
    }
    return shown;
}

} // namespace probe
