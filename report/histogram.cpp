#include "histogram.h"

#include <algorithm>
#include <optional>

namespace report {
namespace {

// The cell of a limit, or nullopt for a limit that is no number or too large to count.
std::optional<int64_t> cell_of(double limit, const thousandth_counts& counts) {
    const auto thousandths = nearest_thousandths(limit);
    return thousandths ? std::optional<int64_t>(counts.cell_of(*thousandths)) : std::nullopt;
}

// Cells per bin: near target_bins over the whole span, preferring a width that divides the
// tolerance so that both limits fall on bin edges.
int64_t bin_cells(int64_t span, const std::optional<int64_t>& tolerance) {
    const int64_t plain =
        std::max<int64_t>(1, (span + histogram::target_bins - 1) / histogram::target_bins);
    if (tolerance) {
        const int64_t fewest = std::max<int64_t>(1, span / (histogram::target_bins * 2));
        for (int64_t offset = 0; offset <= std::min<int64_t>(plain * 2, 1000); ++offset) {
            for (const int64_t cells : {plain + offset, plain - offset}) {
                if (cells >= fewest && cells <= plain * 3 && *tolerance % cells == 0) {
                    return cells;
                }
            }
        }
    }
    return plain;
}

} // namespace

histogram histogram_of(const thousandth_counts& counts, const limit_pair& limits) {
    histogram h;
    h.below = counts.beyond_below;
    h.above = counts.beyond_above;
    if (counts.empty()) {
        return h;
    }
    const int64_t size = counts.cell_size();
    const int64_t first = counts.first_cell();
    const int64_t last = first + static_cast<int64_t>(counts.cells().size()) - 1;
    const auto low = cell_of(limits.low, counts);
    const auto high = cell_of(limits.high, counts);
    const int64_t from = std::min(first, low.value_or(first));
    const int64_t to = std::max(last, high.value_or(last));
    const auto tolerance =
        low && high && *high >= *low ? std::optional<int64_t>(*high - *low + 1) : std::nullopt;
    const int64_t cells = bin_cells(to - from + 1, tolerance);
    // A bin starts at the lower limit's cell.
    const int64_t anchor = low.value_or(from);
    const int64_t start = anchor - (anchor - from + cells - 1) / cells * cells;
    h.bins.assign(static_cast<size_t>((to - start) / cells + 1), 0);
    for (size_t i = 0; i < counts.cells().size(); ++i) {
        h.bins[static_cast<size_t>((first + static_cast<int64_t>(i) - start) / cells)] +=
            counts.cells()[i];
    }
    h.origin = (static_cast<double>(start * size) - 0.5) / 1000;
    h.width = static_cast<double>(cells * size) / 1000;
    return h;
}

} // namespace report
