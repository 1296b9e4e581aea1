#include "board_tally.h"

#include <algorithm>

namespace report {

uint32_t board_tally::add(const record_row& row) {
    if (row.qr.empty()) {
        ++m_figures.boards;
        ++m_figures.without_qr;
        m_figures.first_pass += row.pass;
        m_figures.final_pass += row.pass;
        m_figures.without_qr_passed += row.pass;
        ++m_figures.tests_per_board[1];
        return 0;
    }
    board& seen = m_boards[row.qr];
    const board_test test{row.time, row.slot, row.pass, row.failed};
    if (++seen.tests == 1) {
        seen.first = test;
        m_figures.first_pass += row.pass;
    } else {
        if (seen.history == no_history) {
            seen.history = static_cast<uint32_t>(m_histories.size());
            m_histories.push_back({row.qr, 1, {std::move(seen.first)}});
            seen.first = {};
        }
        board_history& history = m_histories[seen.history];
        history.tests = seen.tests;
        if (history.kept.size() < max_tests_kept) {
            history.kept.push_back(test);
        }
    }
    seen.last_pass = row.pass;
    return seen.tests;
}

board_figures board_tally::finish() {
    for (const auto& [qr, seen] : m_boards) {
        ++m_figures.boards;
        m_figures.final_pass += seen.last_pass;
        ++m_figures.tests_per_board[seen.tests];
        if (seen.tests > 1) {
            ++m_figures.retested;
            m_figures.retests += seen.tests - 1;
        }
    }
    std::sort(m_histories.begin(), m_histories.end(),
              [](const board_history& a, const board_history& b) {
                  return a.tests != b.tests ? a.tests > b.tests : a.kept[0].time < b.kept[0].time;
              });
    if (m_histories.size() > max_histories_kept) {
        m_figures.histories_left_out = m_histories.size() - max_histories_kept;
        m_histories.resize(max_histories_kept);
    }
    m_figures.histories = std::move(m_histories);
    board_figures figures = std::move(m_figures);
    *this = board_tally();
    return figures;
}

} // namespace report
