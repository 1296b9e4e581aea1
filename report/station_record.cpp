#include "station_record.h"

#include "utf8_text.h"

namespace report {

bool parse_station_record(std::string_view text, std::vector<judgement_line>& lines,
                          std::string& problem) {
    judgement_reader reader;
    return parse_station_record(text, lines, problem, reader);
}

bool parse_station_record(std::string_view text, std::vector<judgement_line>& lines,
                          std::string& problem, judgement_reader& reader) {
    lines.clear();
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        problem = "UTF-16 text; the controller writes its records in UTF-8";
        return false;
    }
    int number = 0;
    bool ok = true;
    for_each_line(text, [&](std::string_view line) {
        ++number;
        if (line.empty()) {
            return true;
        }
        const size_t index = lines.size();
        if (!reader.read(index, line, lines.emplace_back())) {
            lines.pop_back();
            problem = "line " + std::to_string(number) +
                      " is not a judgement line: " + line_excerpt(line);
            ok = false;
            return false;
        }
        return true;
    });
    return ok;
}

std::string line_excerpt(std::string_view line, size_t limit) {
    std::string excerpt = well_formed_utf8(line.substr(0, limit));
    for (char& c : excerpt) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return line.size() > limit ? excerpt + "..." : excerpt;
}

} // namespace report
