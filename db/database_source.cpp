#include "database_source.h"

#include "record_scan.h"

#include <algorithm>
#include <unordered_map>

namespace db {
namespace {

// Hands one folder's rows to the sink as the scan of the folder would.
class folder_replay {
public:
    folder_replay(const station_entry& station, const report::period& days,
                  report::record_sink& sink, const report::scan_progress& progress, uint64_t& files)
        : m_station(station), m_days(days), m_sink(sink), m_progress(progress), m_files(files) {}

    void replay(const folder_rows& rows);

private:
    struct found_record {
        report::record_name name;
        const stored_file* file;
    };

    std::string shown(const stored_file& file) const;
    void hand(const found_record& found);
    void looked_at() {
        if (m_progress) {
            m_progress(++m_files);
        }
    }

    const station_entry& m_station;
    const report::period& m_days;
    report::record_sink& m_sink;
    const report::scan_progress& m_progress;
    uint64_t& m_files;
    std::unordered_map<int64_t, const read_record*> m_records;
    std::unordered_map<int64_t, const read_program_result*> m_results;
    std::vector<report::judgement_line> m_lines;
    std::vector<report::program_line> m_program_lines;
};

std::string_view file_name(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view folder_of(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

// A file is named under its root when the station has several, as the scan names it.
std::string folder_replay::shown(const stored_file& file) const {
    if (m_station.roots.size() < 2) {
        return file.path;
    }
    for (const auto& [id, path] : m_station.roots) {
        if (id == file.root) {
            return path + "/" + file.path;
        }
    }
    return file.path;
}

void folder_replay::replay(const folder_rows& rows) {
    m_records.clear();
    m_results.clear();
    for (const read_record& record : rows.records) {
        m_records[record.file] = &record;
    }
    for (const read_program_result& result : rows.program_results) {
        m_results[result.file] = &result;
    }
    // The entries passed over while listing come first, root by root; then the records of
    // all roots in time order.
    std::vector<found_record> found;
    size_t first = 0;
    while (first < rows.files.size()) {
        size_t end = first;
        const std::string_view folder = folder_of(rows.files[first].path);
        while (end < rows.files.size() && rows.files[end].root == rows.files[first].root &&
               folder_of(rows.files[end].path) == folder) {
            ++end;
        }
        const auto in_folder = [&](std::string_view name) {
            return std::any_of(
                rows.files.begin() + static_cast<ptrdiff_t>(first),
                rows.files.begin() + static_cast<ptrdiff_t>(end),
                [&](const stored_file& file) { return file_name(file.path) == name; });
        };
        for (size_t i = first; i < end; ++i) {
            const stored_file& file = rows.files[i];
            if (report::is_listing_reason(file.problem)) {
                m_sink.add_unparsed(shown(file), file.problem);
                looked_at();
            } else if (const auto name = report::parse_record_name(file_name(file.path), in_folder);
                       name && m_days.contains(name->time)) {
                found.push_back({*name, &file});
            }
        }
        first = end;
    }
    std::stable_sort(found.begin(), found.end(), [](const found_record& a, const found_record& b) {
        return report::scan_order(a.name, b.name);
    });
    for (const found_record& record : found) {
        hand(record);
        looked_at();
    }
}

void folder_replay::hand(const found_record& found) {
    const stored_file& file = *found.file;
    if (!file.problem.empty()) {
        m_sink.add_unparsed(shown(file), file.problem);
    } else if (found.name.kind == report::record_kind::station) {
        m_lines.clear();
        if (const auto record = m_records.find(file.id); record != m_records.end()) {
            for (const stored_line& line : record->second->lines) {
                report::judgement_line& made = m_lines.emplace_back();
                made.slot = line.slot;
                made.pass = line.pass;
                made.name = line.name;
                made.value = line.value;
                made.unit = line.unit;
                made.low = line.low;
                made.high = line.high;
            }
        }
        m_sink.add_record(found.name, m_lines, shown(file));
    } else {
        m_program_lines.clear();
        if (const auto result = m_results.find(file.id); result != m_results.end()) {
            for (const stored_result& line : result->second->lines) {
                m_program_lines.push_back({line.slot, line.qr, line.outcome});
            }
        }
        m_sink.add_program_result(found.name.time, m_program_lines);
    }
}

} // namespace

database_source::database_source(std::unique_ptr<store> database,
                                 const std::vector<std::string>& names)
    : m_store(std::move(database)) {
    std::vector<station_entry> all = m_store->stations();
    if (names.empty()) {
        m_stations = std::move(all);
    }
    for (const std::string& name : names) {
        const auto found = std::find_if(all.begin(), all.end(),
                                        [&](const station_entry& s) { return s.name == name; });
        if (found == all.end()) {
            m_problem = "no station \"" + name + "\" in the database";
            return;
        }
        m_stations.push_back(*found);
    }
    for (const station_entry& station : m_stations) {
        report::source_station& shown = m_shown.emplace_back();
        shown.name = station.name;
        for (const auto& [id, path] : station.roots) {
            shown.roots.push_back(path);
        }
    }
}

bool database_source::read_station(size_t index, const report::period& days,
                                   report::record_sink& sink, const report::scan_progress& progress,
                                   std::string& problem) {
    const station_entry& station = m_stations[index];
    uint64_t files = 0;
    folder_replay replay(station, days, sink, progress, files);
    folder_rows rows;
    try {
        m_store->read_folder(station.id, std::nullopt, rows);
        replay.replay(rows);
        for (const int64_t day : m_store->folder_days(station.id)) {
            if (days.may_hold(day)) {
                m_store->read_folder(station.id, day, rows);
                replay.replay(rows);
            }
        }
    } catch (const store_error& error) {
        problem = error.what();
        return false;
    }
    return true;
}

std::unique_ptr<report::record_source> open_database_source(const std::string& database,
                                                            const std::vector<std::string>& names,
                                                            std::string& problem) {
    try {
        auto source = std::make_unique<database_source>(open_store(database, false), names);
        if (source->problem().empty()) {
            return source;
        }
        problem = source->problem();
    } catch (const store_error& error) {
        problem = error.what();
    }
    return nullptr;
}

} // namespace db
