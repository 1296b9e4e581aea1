#pragma once
// Exact counts of a measurement's values per thousandth, the resolution the records print,
// kept while reading so that bins can be chosen afterwards without a second pass. The cells
// cover the values seen so far; past max_cells two neighbouring cells become one, so a cell
// is always a whole number of thousandths (a power of two of them).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace report {

// The nearest whole number of thousandths (10.02 * 1000 is 10019.999...), or nullopt for a
// value that is no number or beyond 2^53 thousandths.
inline std::optional<int64_t> nearest_thousandths(double value) {
    const double scaled = value * 1000;
    if (!(scaled > -9007199254740992.0 && scaled < 9007199254740992.0)) {
        return std::nullopt;
    }
    return static_cast<int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
}

class thousandth_counts {
public:
    static constexpr size_t max_cells = 1024;

    // Counts a finite value; one too large to count in thousandths (beyond 2^53 of them) is
    // counted as beyond the cells.
    void add(double value) {
        const auto thousandths = nearest_thousandths(value);
        if (!thousandths) {
            ++(value < 0 ? beyond_below : beyond_above);
            return;
        }
        const int64_t at = cell_of(*thousandths) - m_first;
        if (at >= 0 && at < static_cast<int64_t>(m_cells.size())) {
            ++m_cells[static_cast<size_t>(at)];
        } else {
            count(*thousandths);
        }
    }

    bool empty() const { return m_cells.empty(); }
    // Thousandths per cell.
    int64_t cell_size() const { return int64_t{1} << m_shift; }
    // Cell c holds the values of c * cell_size() to (c + 1) * cell_size() - 1 thousandths.
    int64_t first_cell() const { return m_first; }
    // The cell that holds `thousandths`.
    int64_t cell_of(int64_t thousandths) const { return thousandths >> m_shift; } // rounds down
    const std::vector<uint32_t>& cells() const { return m_cells; }
    uint64_t beyond_below = 0;
    uint64_t beyond_above = 0;

private:
    // Counts outside the cells so far: the cells grow, or merge.
    void count(int64_t thousandths);
    void merge_pairs();

    int m_shift = 0;
    int64_t m_first = 0;
    std::vector<uint32_t> m_cells;
};

} // namespace report
