#pragma once
// Boards by QR code: first-pass and final yield, retests, and the history of retested boards.
// Memory grows with the boards, not the records: a board keeps its first result until a
// second record makes it a retested one.
#include "record_row.h"

#include <cstdint>
#include <map>
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
    // A record without a QR code is a board of its own: it counts in the yields, apart in
    // the history.
    uint64_t boards = 0;
    uint64_t first_pass = 0; // boards whose first record passed
    uint64_t final_pass = 0; // boards whose last record passed
    uint64_t without_qr = 0;
    uint64_t without_qr_passed = 0;
    uint64_t retested = 0;                        // boards with more than one record
    uint64_t retests = 0;                         // records after each board's first
    std::map<uint32_t, uint64_t> tests_per_board; // tests -> boards
    std::vector<board_history> histories;         // most tests first
    uint64_t histories_left_out = 0;
};

class board_tally {
public:
    static constexpr size_t max_tests_kept = 50;
    static constexpr size_t max_histories_kept = 200;

    // Counts a record (in time order) and returns its test number (0 without a QR code).
    uint32_t add(const record_row& row);
    // The figures; the tally is empty afterwards.
    board_figures finish();

private:
    static constexpr uint32_t no_history = UINT32_MAX;
    struct board {
        uint32_t tests = 0;
        bool last_pass = false;
        uint32_t history = no_history;
        board_test first;
    };

    std::unordered_map<std::string, board> m_boards;
    std::vector<board_history> m_histories;
    board_figures m_figures;
};

} // namespace report
