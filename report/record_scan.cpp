#include "record_scan.h"

#include "folder_listing.h"
#include "platform.h"
#include "program_result.h"
#include "record_name.h"
#include "station_record.h"
#include "utf8_text.h"

#include <algorithm>
#include <ranges>
#include <tuple>

namespace report {
namespace fs = std::filesystem;
namespace {

constexpr const char* data_folder = "qel_data";

struct dated_folder {
    int64_t day;
    std::string name;
};

struct found_record {
    record_name name;
    const folder_entry* entry;
};

bool before(const found_record& a, const found_record& b) {
    // In one second a cycle writes its station records before its programming results.
    return std::tie(a.name.time, a.name.kind, a.name.qr, a.name.copy) <
           std::tie(b.name.time, b.name.kind, b.name.qr, b.name.copy);
}

class station_scan {
public:
    station_scan(const fs::path& data, const period& days, station_tally& tally,
                 const scan_progress& progress)
        : m_data(data), m_days(days), m_tally(tally), m_progress(progress) {}

    void scan_date_folder(const dated_folder& folder);
    void note_odd(const std::string& name, const folder_entry& entry, const char* reason);

private:
    void read_record(const fs::path& folder, const std::string& relative,
                     const found_record& found);

    const fs::path& m_data;
    const period& m_days;
    station_tally& m_tally;
    const scan_progress& m_progress;
    uint64_t m_files = 0;
    std::vector<folder_entry> m_entries;
    std::vector<found_record> m_found;
    record_reader m_file_reader;
    std::vector<judgement_line> m_lines;
    judgement_reader m_reader;
    std::vector<program_line> m_results;
    std::string m_problem;
};

// The path of an entry of `folder`; the names are UTF-8 on Windows, bytes elsewhere.
fs::path entry_path(const fs::path& folder, const std::string& name) {
    return folder / fs::path(std::u8string(name.begin(), name.end()));
}

std::string shown_name(const folder_entry& entry) {
    return entry.name_readable ? well_formed_utf8(entry.name) : "(a name that is no valid UTF-16)";
}

void station_scan::note_odd(const std::string& relative, const folder_entry& entry,
                            const char* reason) {
    m_tally.add_unparsed(relative + shown_name(entry), reason);
    if (m_progress) {
        m_progress(++m_files);
    }
}

void station_scan::scan_date_folder(const dated_folder& folder) {
    const fs::path path = entry_path(m_data, folder.name);
    const std::string relative = std::string(data_folder) + "/" + folder.name + "/";
    if (!list_folder(path, m_entries, m_problem)) {
        m_tally.add_unparsed(relative, "cannot list the folder: " + m_problem);
        return;
    }
    const auto in_folder = [this](std::string_view name) {
        return std::ranges::binary_search(m_entries, name, std::ranges::less(),
                                          &folder_entry::name);
    };
    m_found.clear();
    for (const folder_entry& entry : m_entries) {
        if (entry.is_folder) {
            note_odd(relative, entry, "a folder inside a date folder");
            continue;
        }
        const auto name =
            entry.name_readable ? parse_record_name(entry.name, in_folder) : std::nullopt;
        if (!name) {
            note_odd(relative, entry, "not a record's name");
        } else if (m_days.contains(name->time)) {
            m_found.push_back({*name, &entry});
        }
    }
    std::sort(m_found.begin(), m_found.end(), before);
    for (const found_record& found : m_found) {
        read_record(path, relative, found);
        if (m_progress) {
            m_progress(++m_files);
        }
    }
}

void station_scan::read_record(const fs::path& folder, const std::string& relative,
                               const found_record& found) {
    std::string file = relative;
    append_well_formed_utf8(file, found.entry->name);
    const auto bytes = m_file_reader.read(folder, *found.entry, m_problem);
    if (!bytes) {
        m_tally.add_unparsed(std::move(file), m_problem);
        return;
    }
    if (found.name.kind == record_kind::station) {
        if (parse_station_record(*bytes, m_lines, m_problem, m_reader)) {
            m_tally.add_record(found.name, m_lines, std::move(file));
        } else {
            m_tally.add_unparsed(std::move(file), m_problem);
        }
    } else if (parse_program_result(*bytes, m_results, m_problem)) {
        m_tally.add_program_result(m_results);
    } else {
        m_tally.add_unparsed(std::move(file), m_problem);
    }
}

} // namespace

bool scan_station(const fs::path& root, const period& days, station_tally& tally,
                  const scan_progress& progress, std::string& problem) {
    const fs::path data = root / data_folder;
    std::vector<folder_entry> entries;
    if (!list_folder(data, entries, problem)) {
        problem = "no " + std::string(data_folder) + " folder to read: " + problem;
        return false;
    }
    station_scan scan(data, days, tally, progress);
    std::vector<dated_folder> folders;
    for (const folder_entry& entry : entries) {
        const auto day =
            entry.name_readable && entry.is_folder ? parse_folder_date(entry.name) : std::nullopt;
        if (!day) {
            scan.note_odd(std::string(data_folder) + "/", entry,
                          entry.is_folder ? "not a date folder"
                                          : "a file outside the date folders");
        } else if (days.may_hold(*day)) {
            folders.push_back({*day, entry.name});
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const dated_folder& a, const dated_folder& b) { return a.day < b.day; });
    for (const dated_folder& folder : folders) {
        scan.scan_date_folder(folder);
    }
    return true;
}

} // namespace report
