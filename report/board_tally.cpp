#include "board_tally.h"

#include <algorithm>

namespace report {
namespace {

// FNV-1a with a final mix: the same 64 bits on every platform.
uint64_t qr_hash(std::string_view qr) {
    uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : qr) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdu;
    return hash ^ (hash >> 33);
}

} // namespace

uint32_t board_tally::add(const record_row& row) {
    // File names hold at most a few hundred bytes; a longer code could come from no record.
    if (row.qr.empty() || row.qr.size() > qr_block_bytes / 16) {
        ++m_figures.without_qr;
        m_figures.without_qr_passed += row.pass;
        return 0;
    }
    uint32_t index = 0;
    board& seen = find_or_add(row.qr, index);
    if (++seen.tests == 1) {
        seen.first_time = row.time;
        seen.first_slot = static_cast<uint8_t>(row.slot);
        seen.first_pass = row.pass;
        m_figures.first_pass += row.pass;
        if (!row.pass) {
            m_first_failed[index] = row.failed;
        }
    } else {
        if (seen.history == none) {
            start_history(seen, index, row.qr);
        }
        board_history& history = m_histories[seen.history];
        history.tests = seen.tests;
        if (history.kept.size() < max_tests_kept) {
            history.kept.push_back({row.time, row.slot, row.pass, row.failed});
        }
    }
    if (row.pass) {
        for (int slot = 1; slot <= 4; ++slot) {
            const uint8_t bit = static_cast<uint8_t>(1u << (slot - 1));
            if ((seen.failed_slots & bit) != 0 && (seen.credited_slots & bit) == 0) {
                ++m_figures.retest_pass[static_cast<size_t>(slot - 1)];
                seen.credited_slots |= bit;
            }
        }
        seen.failed_slots = 0;
    } else if (row.slot >= 1 && row.slot <= 4) {
        seen.failed_slots |= static_cast<uint8_t>(1u << (row.slot - 1));
    }
    seen.last_pass = row.pass;
    return seen.tests;
}

void board_tally::start_history(board& seen, uint32_t index, std::string_view qr) {
    seen.history = static_cast<uint32_t>(m_histories.size());
    board_test first{seen.first_time, seen.first_slot, seen.first_pass, {}};
    if (const auto failed = m_first_failed.find(index); failed != m_first_failed.end()) {
        first.failed = std::move(failed->second);
        m_first_failed.erase(failed);
    }
    m_histories.push_back({std::string(qr), 1, {std::move(first)}});
}

board_tally::board& board_tally::find_or_add(std::string_view qr, uint32_t& index) {
    if ((static_cast<size_t>(m_count) + 1) * 2 > m_index.size()) {
        grow_index();
    }
    const uint64_t hash = qr_hash(qr);
    const size_t mask = m_index.size() - 1;
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
        index = m_index[at];
        if (index == none) {
            index = m_count++;
            m_index[at] = index;
            if (index % boards_per_block == 0) {
                m_blocks.push_back(std::make_unique<board[]>(boards_per_block));
            }
            board& added = board_at(index);
            added.hash = static_cast<uint32_t>(hash);
            added.qr_at = store_qr(qr);
            added.qr_size = static_cast<uint16_t>(qr.size());
            return added;
        }
        board& candidate = board_at(index);
        if (candidate.hash == static_cast<uint32_t>(hash) && qr_of(candidate) == qr) {
            return candidate;
        }
    }
}

uint32_t board_tally::store_qr(std::string_view qr) {
    // A QR code never straddles two blocks.
    if (m_qr_blocks.empty() || m_qr_end % qr_block_bytes + qr.size() > qr_block_bytes) {
        m_qr_end = static_cast<uint32_t>(m_qr_blocks.size()) * qr_block_bytes;
        m_qr_blocks.push_back(std::make_unique<char[]>(qr_block_bytes));
    }
    const uint32_t at = m_qr_end;
    std::copy(qr.begin(), qr.end(), m_qr_blocks.back().get() + at % qr_block_bytes);
    m_qr_end += static_cast<uint32_t>(qr.size());
    return at;
}

void board_tally::grow_index() {
    m_index.assign(std::max<size_t>(64, m_index.size() * 2), none);
    const size_t mask = m_index.size() - 1;
    for (uint32_t i = 0; i < m_count; ++i) {
        size_t at = qr_hash(qr_of(board_at(i))) & mask;
        while (m_index[at] != none) {
            at = (at + 1) & mask;
        }
        m_index[at] = i;
    }
}

board_figures board_tally::finish() {
    for (uint32_t i = 0; i < m_count; ++i) {
        const board& seen = board_at(i);
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
