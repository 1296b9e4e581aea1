#include "outcome_text.h"

#include <algorithm>
#include <array>

namespace db {
namespace {

constexpr std::array<std::pair<report::program_outcome, std::string_view>, 4> outcomes = {{
    {report::program_outcome::programmed, "programmed"},
    {report::program_outcome::failed, "failed"},
    {report::program_outcome::not_programmed, "not programmed"},
    {report::program_outcome::disabled, "disabled"},
}};

} // namespace

std::string_view record_result(const std::vector<report::judgement_line>& lines) {
    if (lines.empty()) {
        return "no result";
    }
    return std::all_of(lines.begin(), lines.end(),
                       [](const report::judgement_line& line) { return line.pass; })
               ? "pass"
               : "fail";
}

std::string_view outcome_text(report::program_outcome outcome) {
    for (const auto& [known, text] : outcomes) {
        if (known == outcome) {
            return text;
        }
    }
    return "";
}

std::optional<report::program_outcome> parse_outcome(std::string_view text) {
    for (const auto& [known, known_text] : outcomes) {
        if (known_text == text) {
            return known;
        }
    }
    return std::nullopt;
}

} // namespace db
