#include "record_scan.h"

#include "folder_listing.h"
#include "options.h"
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

struct dated_folder {
    int64_t day;
    size_t root; // index in the station's roots
    std::string name;
};

// One date folder of a root, listed.
struct listed_folder {
    fs::path path;
    std::string relative; // as the report names its files
    std::vector<folder_entry> entries;
};

struct found_record {
    record_name name;
    const listed_folder* folder;
    const folder_entry* entry;
};

bool before(const found_record& a, const found_record& b) {
    return scan_order(a.name, b.name);
}

class station_scan {
public:
    station_scan(const period& days, record_sink& tally, const scan_progress& progress)
        : m_days(days), m_tally(tally), m_progress(progress) {}

    // The date folders of one day, from one root or several, read as one in time order.
    void scan_day(const std::vector<std::pair<fs::path, std::string>>& folders);
    void note_odd(const std::string& relative, const folder_entry& entry, const char* reason);

private:
    void find_records(listed_folder& folder);
    void read_record(const found_record& found);

    const period& m_days;
    record_sink& m_tally;
    const scan_progress& m_progress;
    uint64_t m_files = 0;
    std::vector<listed_folder> m_folders;
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

void station_scan::scan_day(const std::vector<std::pair<fs::path, std::string>>& folders) {
    m_folders.resize(folders.size());
    m_found.clear();
    for (size_t i = 0; i < folders.size(); ++i) {
        listed_folder& folder = m_folders[i];
        folder.path = folders[i].first;
        folder.relative = folders[i].second;
        if (!list_folder(folder.path, folder.entries, m_problem)) {
            m_tally.add_unparsed(folder.relative, "cannot list the folder: " + m_problem);
            folder.entries.clear();
            continue;
        }
        find_records(folder);
    }
    std::sort(m_found.begin(), m_found.end(), before);
    for (const found_record& found : m_found) {
        read_record(found);
        if (m_progress) {
            m_progress(++m_files);
        }
    }
}

void station_scan::find_records(listed_folder& folder) {
    const auto in_folder = [&folder](std::string_view name) {
        return std::ranges::binary_search(folder.entries, name, std::ranges::less(),
                                          &folder_entry::name);
    };
    for (const folder_entry& entry : folder.entries) {
        if (entry.is_folder) {
            note_odd(folder.relative, entry, folder_in_date_folder);
            continue;
        }
        const auto name =
            entry.name_readable ? parse_record_name(entry.name, in_folder) : std::nullopt;
        if (!name) {
            note_odd(folder.relative, entry, not_a_record_name);
        } else if (m_days.contains(name->time)) {
            m_found.push_back({*name, &folder, &entry});
        }
    }
}

void station_scan::read_record(const found_record& found) {
    std::string file = found.folder->relative;
    append_well_formed_utf8(file, found.entry->name);
    const auto bytes = m_file_reader.read(found.folder->path, *found.entry, m_problem);
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
        m_tally.add_program_result(found.name.time, m_results);
    } else {
        m_tally.add_unparsed(std::move(file), m_problem);
    }
}

} // namespace

bool scan_order(const record_name& a, const record_name& b) {
    // In one second a cycle writes its station records before its programming results.
    return std::tie(a.time, a.kind, a.qr, a.copy) < std::tie(b.time, b.kind, b.qr, b.copy);
}

bool is_listing_reason(std::string_view reason) {
    return reason == not_a_date_folder || reason == file_outside_date_folders ||
           reason == folder_in_date_folder || reason == not_a_record_name;
}

void scan_station(const std::vector<fs::path>& roots, const period& days, record_sink& tally,
                  const scan_progress& progress, const root_problem& problem_of) {
    station_scan scan(days, tally, progress);
    std::vector<dated_folder> folders;
    std::vector<std::string> prefixes;
    std::vector<folder_entry> entries;
    std::string problem;
    for (size_t i = 0; i < roots.size(); ++i) {
        // Files are named under their root when the station has several.
        prefixes.push_back((roots.size() > 1 ? shown_path(roots[i]) + "/" : std::string()) +
                           data_folder + "/");
        if (!list_folder(roots[i] / data_folder, entries, problem)) {
            problem_of(roots[i], "no " + std::string(data_folder) + " folder to read: " + problem);
            continue;
        }
        for (const folder_entry& entry : entries) {
            const auto day = entry.name_readable && entry.is_folder ? parse_folder_date(entry.name)
                                                                    : std::nullopt;
            if (!day) {
                scan.note_odd(prefixes[i], entry,
                              entry.is_folder ? not_a_date_folder : file_outside_date_folders);
            } else if (days.may_hold(*day)) {
                folders.push_back({*day, i, entry.name});
            }
        }
    }
    std::sort(folders.begin(), folders.end(), [](const dated_folder& a, const dated_folder& b) {
        return std::tie(a.day, a.root) < std::tie(b.day, b.root);
    });
    std::vector<std::pair<fs::path, std::string>> same_day;
    for (size_t i = 0; i < folders.size(); ++i) {
        const dated_folder& folder = folders[i];
        same_day.emplace_back(entry_path(roots[folder.root] / data_folder, folder.name),
                              prefixes[folder.root] + folder.name + "/");
        if (i + 1 == folders.size() || folders[i + 1].day != folder.day) {
            scan.scan_day(same_day);
            same_day.clear();
        }
    }
}

} // namespace report
