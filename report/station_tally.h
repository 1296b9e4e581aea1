#pragma once
// Gathers one station's records, in time order, into its station_report.
#include "judgement_line.h"
#include "program_result.h"
#include "record_name.h"
#include "record_source.h"
#include "slot_resolver.h"
#include "station_report.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace report {

class station_tally : public record_sink {
public:
    // `row_out` sees every record once its slot is known, in time order (boards.csv).
    using row_sink = std::function<void(const std::string& station, const record_row& row)>;
    station_tally(std::string name, std::vector<std::string> roots, row_sink row_out);

    void add_record(const record_name& name, const std::vector<judgement_line>& lines,
                    std::string file) override;
    void add_program_result(local_seconds time, const std::vector<program_line>& lines) override;
    void add_unparsed(std::string file, std::string reason) override;
    // The report; the tally is spent afterwards.
    station_report finish();

private:
    struct name_hash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>()(name);
        }
    };
    using measurement_map =
        std::unordered_map<std::string, measurement_stats, name_hash, std::equal_to<>>;

    // Nullptr for a new name past the cap.
    measurement_stats* stats_of(std::string_view name);
    // The same, found at once when the previous record had the name on the same line: a
    // tester prints the same program every cycle.
    measurement_stats* stats_of_line(size_t line, std::string_view name);
    void count(record_row& row);
    void count_first_test(const record_row& row, day_figures& day);

    station_report m_report;
    row_sink m_row_out;
    measurement_map m_measurements;
    struct line_name {
        std::string name;
        measurement_stats* stats = nullptr;
    };
    std::vector<line_name> m_previous_lines;
    board_tally m_boards;
    slot_resolver m_slots;
};

} // namespace report
