#include "station_tally.h"

#include <algorithm>

namespace report {

station_tally::station_tally(std::string name, std::string root, row_sink row_out)
    : m_row_out(std::move(row_out)), m_slots([this](record_row& row) { count(row); }) {
    m_report.name = std::move(name);
    m_report.root = std::move(root);
}

void station_tally::add_record(const record_name& name, const std::vector<judgement_line>& lines,
                               std::string file) {
    record_row row;
    row.time = name.time;
    row.qr = name.qr;
    row.slot = lines.empty() ? 0 : lines.front().slot;
    row.pass = true;
    row.file = std::move(file);
    for (const judgement_line& line : lines) {
        stats_of(line.name).add(line.value, line.pass, {line.low, line.high}, line.unit, name.time);
        if (!line.pass) {
            row.pass = false;
            if (!row.failed.empty()) {
                row.failed += ' ';
            }
            row.failed += line.name;
        }
    }
    m_slots.add(std::move(row));
}

void station_tally::add_program_result(const std::vector<program_line>& lines) {
    ++m_report.program_results;
    for (const program_line& line : lines) {
        slot_figures& slot = m_report.slots[static_cast<size_t>(line.slot - 1)];
        switch (line.outcome) {
        case program_outcome::programmed:
            ++slot.programmed_ok;
            break;
        case program_outcome::failed:
            ++slot.programmed_failed;
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
    std::sort(
        m_report.measurements.begin(), m_report.measurements.end(),
        [](const named_measurement& a, const named_measurement& b) { return a.name < b.name; });
    return std::move(m_report);
}

measurement_stats& station_tally::stats_of(std::string_view name) {
    const auto found = m_measurements.find(name);
    return found != m_measurements.end()
               ? found->second
               : m_measurements.try_emplace(std::string(name)).first->second;
}

void station_tally::count(record_row& row) {
    row.test_number = m_boards.add(row);
    if (m_report.records++ == 0) {
        m_report.first_record = row.time;
    }
    m_report.first_record = std::min(m_report.first_record, row.time);
    m_report.last_record = std::max(m_report.last_record, row.time);
    if (row.slot == 0) {
        ++m_report.records_without_slot;
    } else {
        slot_figures& slot = m_report.slots[static_cast<size_t>(row.slot - 1)];
        ++slot.tested;
        ++(row.pass ? slot.passed : slot.failed);
    }
    ++m_report.records_per_hour[row.time / 3600];
    if (m_row_out) {
        m_row_out(m_report.name, row);
    }
}

} // namespace report
