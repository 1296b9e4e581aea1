#pragma once
// Boards by QR code: first-pass and final yield, retests, the boards that passed on a retest
// after failing in a slot, and the history of retested boards. Only records with a result
// and a QR code are boards; those without a QR code are counted apart.
// Memory grows with the boards, not the records, and stays small per board: a flat table
// with the QR codes in one block, the first test kept in full only once a second record
// makes the board a retested one.
#include "record_row.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace report {

struct board_test {
    local_seconds time = 0;
    int slot = 0;
    bool pass = false;
    std::string failed;
};

struct board_history {
    std::string qr;
    uint32_t tests = 0;
    std::vector<board_test> kept; // the first tests, in time order
};

struct board_figures {
    uint64_t boards = 0;     // distinct QR codes
    uint64_t first_pass = 0; // boards whose first record passed
    uint64_t final_pass = 0; // boards whose last record passed
    uint64_t without_qr = 0; // records with a result but no QR code
    uint64_t without_qr_passed = 0;
    uint64_t retested = 0;                        // boards with more than one record
    uint64_t retests = 0;                         // records after each board's first
    std::map<uint32_t, uint64_t> tests_per_board; // tests -> boards
    // Per slot: boards that failed there and passed on a later test anywhere.
    std::array<uint64_t, 4> retest_pass{};
    std::vector<board_history> histories; // most tests first
    uint64_t histories_left_out = 0;
};

class board_tally {
public:
    static constexpr size_t max_tests_kept = 50;
    static constexpr size_t max_histories_kept = 200;

    // Counts a record with a result (in time order) and returns its test number (0 without
    // a QR code).
    uint32_t add(const record_row& row);
    // The figures; the tally is empty afterwards.
    board_figures finish();

private:
    static constexpr uint32_t none = UINT32_MAX;
    // 32 bytes a board: a year of a line is millions of boards.
    struct board {
        local_seconds first_time = 0;
        uint32_t qr_at = 0; // in the QR blocks
        uint32_t tests = 0;
        uint32_t history = none;
        uint32_t hash = 0; // the low half of the QR code's hash
        uint16_t qr_size = 0;
        uint8_t first_slot = 0;
        bool first_pass = false;
        bool last_pass = false;
        uint8_t failed_slots = 0;   // bit n-1: failed in slot n since its last pass
        uint8_t credited_slots = 0; // slots already counted in retest_pass
    };
    // Boards and QR codes live in fixed blocks, so growing never copies them all (a copy
    // would need the memory twice over for a moment).
    static constexpr uint32_t boards_per_block = 8192;
    static constexpr uint32_t qr_block_bytes = 65536;

    board& board_at(uint32_t index) {
        return m_blocks[index / boards_per_block][index % boards_per_block];
    }
    std::string_view qr_of(const board& b) const {
        return {m_qr_blocks[b.qr_at / qr_block_bytes].get() + b.qr_at % qr_block_bytes, b.qr_size};
    }
    board& find_or_add(std::string_view qr, uint32_t& index);
    uint32_t store_qr(std::string_view qr);
    void grow_index();
    void start_history(board& seen, uint32_t index, std::string_view qr);

    std::vector<std::unique_ptr<board[]>> m_blocks;
    uint32_t m_count = 0;
    std::vector<uint32_t> m_index; // open addressing into the boards; none where empty
    std::vector<std::unique_ptr<char[]>> m_qr_blocks;
    uint32_t m_qr_end = 0;                                    // where the next QR code goes
    std::unordered_map<uint32_t, std::string> m_first_failed; // by board, until its history
    std::vector<board_history> m_histories;
    board_figures m_figures;
};

} // namespace report
