#include "program_result.h"

#include "station_record.h"

#include <optional>
#include <utility>

namespace report {
namespace {

// The outcome words as the controller writes them, each after one space.
constexpr std::pair<std::string_view, program_outcome> outcome_words[] = {
    {" 写入成功", program_outcome::programmed},
    {" 写入失败", program_outcome::failed},
    {" QEL未通过，未执行写入操作", program_outcome::not_programmed},
    {" 该位置未使能，未执行写入操作", program_outcome::disabled},
};

std::optional<program_line> parse_line(std::string_view line) {
    if (line.size() < 4 || line[0] < '1' || line[0] > '4' || line.substr(1, 3) != "#QR") {
        return std::nullopt;
    }
    const std::string_view rest = line.substr(4);
    for (const auto& [word, outcome] : outcome_words) {
        if (rest.ends_with(word)) {
            return program_line{line[0] - '0', rest.substr(0, rest.size() - word.size()), outcome};
        }
    }
    return std::nullopt;
}

} // namespace

bool parse_program_result(std::string_view text, std::vector<program_line>& lines,
                          std::string& problem) {
    lines.clear();
    int number = 0;
    bool ok = true;
    for_each_line(text, [&](std::string_view line) {
        ++number;
        const auto parsed = line.empty() ? std::nullopt : parse_line(line);
        if (!parsed) {
            problem = "line " + std::to_string(number) +
                      " is not a programming result: " + line_excerpt(line);
            ok = false;
            return false;
        }
        lines.push_back(*parsed);
        return true;
    });
    if (ok && lines.empty()) {
        problem = "no programming result in the file";
        ok = false;
    }
    return ok;
}

} // namespace report
