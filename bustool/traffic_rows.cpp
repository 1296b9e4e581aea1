#include "traffic_rows.h"

#include <cstdio>

namespace probe {

Band TrafficRows::add_line(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    rows[static_cast<std::size_t>(current)] = std::string(text.substr(0, kMaxText));
    Band band{row_y(current), 2 * kRowHeight};
    if (++current == kRows) {
        first += kRows;
        current = 0;
    }
    rows[static_cast<std::size_t>(current)].clear();
    return band;
}

void TrafficRows::clear() {
    for (std::string& row : rows) {
        row.clear();
    }
    first = 0;
    current = 0;
}

std::string TrafficRows::row_label(int r) const {
    char label[16];
    std::snprintf(label, sizeof label, "%6u", static_cast<unsigned>(first + r));
    return label;
}

std::string TrafficRows::listing() const {
    std::string text;
    for (int r = 0; r < kRows; ++r) {
        text += row_label(r) + " " + row(r) + "\r\n";
    }
    return text;
}

} // namespace probe
