#pragma once
// A cycle's programming results: one line per fixture slot, "N#QR<qr> <outcome>" with CR LF.
#include <string>
#include <string_view>
#include <vector>

namespace report {

enum class program_outcome {
    programmed,     // 写入成功
    failed,         // 写入失败
    not_programmed, // QEL未通过，未执行写入操作: the board failed its test
    disabled,       // 该位置未使能，未执行写入操作: the slot is switched off
};

struct program_line {
    int slot = 0;        // 1 to 4
    std::string_view qr; // as scanned; the file names hold it made fit for a name
    program_outcome outcome = program_outcome::programmed;
};

// Fills `lines` (viewing `text`) and returns true, or false with `problem` set.
bool parse_program_result(std::string_view text, std::vector<program_line>& lines,
                          std::string& problem);

} // namespace report
