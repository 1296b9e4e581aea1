#pragma once
// How both engines write a record's result and a programming outcome.
#include "program_result.h"
#include "store.h"

#include <optional>
#include <string_view>

namespace db {

// "pass", "fail" or "no result" for a record of these lines.
std::string_view record_result(const std::vector<report::judgement_line>& lines);
std::string_view outcome_text(report::program_outcome outcome);
std::optional<report::program_outcome> parse_outcome(std::string_view text);

} // namespace db
