#pragma once
// A station's record: its error lines, a line end, its pass lines (all judgement lines,
// joined by CR LF). Anything else in the file makes it no record.
#include "judgement_line.h"

#include <string>
#include <string_view>
#include <vector>

namespace report {

// Fills `lines` (viewing `text`) and returns true, or returns false with `problem` saying
// what is wrong. Empty lines, LF alone and a UTF-8 byte-order mark are taken as they come.
bool parse_station_record(std::string_view text, std::vector<judgement_line>& lines,
                          std::string& problem);
// The same for one record of many, read with `reader` (kept from record to record).
bool parse_station_record(std::string_view text, std::vector<judgement_line>& lines,
                          std::string& problem, judgement_reader& reader);

// Calls `take(line)` for each line of `text` without its line end; a last line without
// one is a line too.
template <typename Take> void for_each_line(std::string_view text, Take&& take) {
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (!take(line)) {
            return;
        }
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

// At most the first `limit` bytes of a line, for a message.
std::string line_excerpt(std::string_view line, size_t limit = 60);

} // namespace report
