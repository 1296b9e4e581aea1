#include "traffic_rows.h"

#include <cstdio>

namespace probe {

Band TrafficRows::add_line(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    rows_[static_cast<std::size_t>(current_)] = std::string(text.substr(0, kMaxText));
    Band band{row_y(current_), 2 * kRowHeight};
    if (++current_ == kRows) {
        first_number_ += kRows;
        current_ = 0;
    }
    rows_[static_cast<std::size_t>(current_)].clear();
    return band;
}

void TrafficRows::clear() {
    for (std::string& row : rows_) {
        row.clear();
    }
    first_number_ = 0;
    current_ = 0;
}

std::string TrafficRows::row_label(int r) const {
    char label[16];
    std::snprintf(label, sizeof label, "%6u", static_cast<unsigned>(first_number_ + r));
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
