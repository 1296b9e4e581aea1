#include "thousandth_counts.h"

namespace report {

void thousandth_counts::count(int64_t thousandths) {
    for (;;) {
        const int64_t cell = cell_of(thousandths);
        if (m_cells.empty()) {
            m_first = cell;
            m_cells.push_back(1);
            return;
        }
        const int64_t at = cell - m_first;
        if (at >= 0 && at < static_cast<int64_t>(m_cells.size())) {
            ++m_cells[static_cast<size_t>(at)];
            return;
        }
        const int64_t size = at < 0 ? static_cast<int64_t>(m_cells.size()) - at : at + 1;
        if (size > static_cast<int64_t>(max_cells)) {
            merge_pairs();
            continue;
        }
        if (at < 0) {
            m_cells.insert(m_cells.begin(), static_cast<size_t>(-at), 0);
            m_first = cell;
            m_cells.front() = 1;
        } else {
            m_cells.resize(static_cast<size_t>(size), 0);
            m_cells.back() = 1;
        }
        return;
    }
}

void thousandth_counts::merge_pairs() {
    const int64_t first = m_first >> 1;
    const int64_t last = (m_first + static_cast<int64_t>(m_cells.size()) - 1) >> 1;
    std::vector<uint32_t> merged(static_cast<size_t>(last - first + 1), 0);
    for (size_t i = 0; i < m_cells.size(); ++i) {
        merged[static_cast<size_t>(((m_first + static_cast<int64_t>(i)) >> 1) - first)] +=
            m_cells[i];
    }
    m_cells = std::move(merged);
    m_first = first;
    ++m_shift;
}

} // namespace report
