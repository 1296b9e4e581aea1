#pragma once
// The 40-row ring behind the traffic list: one line per row, the newest followed by one
// blank row, numbered from a first number that grows by 40 at each wrap.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace probe {

// Vertical pixel band of the control to repaint.
struct Band {
    int top;
    int height;
};

class TrafficRows {
public:
    static constexpr int kRows = 40;
    static constexpr int kRowHeight = 16;
    // A row holds 128 bytes with its terminating zero; a line keeps at most this much.
    static constexpr std::size_t kMaxText = 126;

    // Stores the line in the current row (cut at a zero byte and at kMaxText), moves on
    // and empties the next row. Returns the band of the two rows that changed.
    Band add_line(std::string_view text);
    void clear();

    std::uint32_t first_number() const { return first; }
    int current_row() const { return current; }
    const std::string& row(int r) const { return rows.at(static_cast<std::size_t>(r)); }

    // Number shown beside row r ("%6u" of first number + r).
    std::string row_label(int r) const;
    static int row_y(int r) { return kRowHeight * r; }
    // Left edge of a row's text: one 8-pixel cell per label character and one more.
    static int text_x(std::string_view label) { return 8 * static_cast<int>(label.size()) + 8; }

    // All rows as shown, label and text, one line each ending in "\r\n".
    std::string listing() const;

private:
    std::uint32_t first = 0;
    std::array<std::string, kRows> rows{};
    int current = 0;
};

} // namespace probe
