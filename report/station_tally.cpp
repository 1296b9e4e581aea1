#include "station_tally.h"

#include <algorithm>

namespace report {

station_tally::station_tally(std::string name, std::vector<std::string> roots, row_sink row_out)
    : m_row_out(std::move(row_out)), m_slots([this](record_row& row) { count(row); }) {
    m_report.name = std::move(name);
    m_report.roots = std::move(roots);
}

void station_tally::add_record(const record_name& name, const std::vector<judgement_line>& lines,
                               std::string file) {
    record_row row;
    row.time = name.time;
    row.qr = name.qr;
    row.slot = lines.empty() ? 0 : lines.front().slot;
    row.has_result = !lines.empty();
    row.pass = row.has_result;
    row.file = std::move(file);
    for (size_t i = 0; i < lines.size(); ++i) {
        const judgement_line& line = lines[i];
        if (measurement_stats* stats = stats_of_line(i, line.name)) {
            stats->add(line.value, line.pass, {line.low, line.high}, line.slot, line.unit,
                       name.time);
        }
        if (!line.pass) {
            row.pass = false;
            row.add_failed(line.name);
        }
    }
    m_slots.add(std::move(row));
}

void station_tally::add_program_result(local_seconds time, const std::vector<program_line>& lines) {
    ++m_report.program_results;
    day_figures& day = m_report.days[time / seconds_per_day];
    for (const program_line& line : lines) {
        slot_figures& slot = m_report.slots[static_cast<size_t>(line.slot - 1)];
        switch (line.outcome) {
        case program_outcome::programmed:
            ++slot.programmed_ok;
            ++day.programmed_ok;
            break;
        case program_outcome::failed:
            ++slot.programmed_failed;
            ++day.programmed_failed;
            break;
        case program_outcome::not_programmed:
            ++slot.not_programmed;
            break;
        case program_outcome::disabled:
            ++slot.disabled;
            break;
        }
    }
    m_slots.add_program_result(lines);
}

void station_tally::add_unparsed(std::string file, std::string reason) {
    if (m_report.unparsed++ < station_report::max_unparsed_listed) {
        m_report.unparsed_files.push_back({std::move(file), std::move(reason)});
    }
}

station_report station_tally::finish() {
    m_slots.flush();
    m_report.boards = m_boards.finish();
    m_report.measurements.reserve(m_measurements.size());
    for (auto& [name, stats] : m_measurements) {
        m_report.measurements.push_back({name, std::move(stats)});
    }
    m_measurements.clear();
    m_previous_lines.clear();
    std::sort(
        m_report.measurements.begin(), m_report.measurements.end(),
        [](const named_measurement& a, const named_measurement& b) { return a.name < b.name; });
    return std::move(m_report);
}

measurement_stats* station_tally::stats_of(std::string_view name) {
    if (const auto found = m_measurements.find(name); found != m_measurements.end()) {
        return &found->second;
    }
    if (m_measurements.size() >= station_report::max_measurement_names) {
        ++m_report.measurement_names_not_kept;
        return nullptr;
    }
    return &m_measurements.try_emplace(std::string(name)).first->second;
}

measurement_stats* station_tally::stats_of_line(size_t line, std::string_view name) {
    if (line >= m_previous_lines.size()) {
        m_previous_lines.resize(line + 1);
    }
    line_name& previous = m_previous_lines[line];
    if (previous.stats == nullptr || previous.name != name) {
        previous.name = name;
        previous.stats = stats_of(name);
    }
    return previous.stats;
}

void station_tally::count(record_row& row) {
    day_figures& day = m_report.days[row.time / seconds_per_day];
    ++day.records;
    row.test_number = row.has_result ? m_boards.add(row) : 0;
    if (row.test_number == 1) {
        count_first_test(row, day);
    }
    if (m_report.records++ == 0) {
        m_report.first_record = row.time;
    }
    m_report.first_record = std::min(m_report.first_record, row.time);
    m_report.last_record = std::max(m_report.last_record, row.time);
    m_report.no_result += row.has_result ? 0 : 1;
    if (row.slot == 0) {
        ++m_report.records_without_slot;
    } else {
        slot_figures& slot = m_report.slots[static_cast<size_t>(row.slot - 1)];
        if (!row.has_result) {
            ++slot.no_result;
        } else {
            ++slot.tested;
            ++(row.pass ? slot.passed : slot.failed);
        }
    }
    ++m_report.records_per_hour[row.time / 3600];
    if (m_row_out) {
        m_row_out(m_report.name, row);
    }
}

void station_tally::count_first_test(const record_row& row, day_figures& day) {
    ++day.boards;
    day.first_pass += row.pass;
    if (row.slot != 0) {
        slot_figures& slot = m_report.slots[static_cast<size_t>(row.slot - 1)];
        ++slot.first_tested;
        slot.first_passed += row.pass;
    }
    for (size_t i = 0; i < row.failed_ends.size(); ++i) {
        const std::string_view name = row.failed_name(i);
        bool again = false; // a name printed twice in one record fails one board
        for (size_t j = 0; j < i && !again; ++j) {
            again = row.failed_name(j) == name;
        }
        first_test_fails& entry = m_report.first_test_pareto[std::string(name)];
        ++entry.fails;
        entry.boards += again ? 0 : 1;
    }
}

} // namespace report
