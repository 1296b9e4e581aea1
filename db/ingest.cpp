#include "ingest.h"

#include "file_status.h"
#include "folder_listing.h"
#include "program_result.h"
#include "record_scan.h"
#include "station_record.h"
#include "storable_text.h"

#include <xxhash.h>

#include <algorithm>
#include <map>
#include <unordered_set>

namespace db {
namespace fs = std::filesystem;
namespace {

struct day_folder {
    size_t root;
    std::string name; // as listed
};

class station_ingest {
public:
    station_ingest(store& database, const report::station_roots& station, ingest_counts& counts,
                   const ingest_events& events)
        : m_store(database), m_station(station), m_counts(counts), m_events(events) {}

    bool run();

private:
    // Stores what `work` finds in a folder (a day's, or the tops of the roots) in one
    // transaction, with what was stored of it loaded.
    template <typename Work> void in_transaction(std::optional<int64_t> day, const Work& work);
    // What is stored of a folder (a day's, or the tops of the roots), by path.
    void load(std::optional<int64_t> day);
    const stored_file* known_at(std::string_view path) const;
    // Counts the loaded entries not seen since load() as vanished.
    void count_vanished();
    void top_entry(size_t root, const report::folder_entry& entry);
    void day_entries(std::optional<int64_t> day, const day_folder& folder);
    // Stores an entry that is no record, unless stored so already.
    void odd_entry(std::optional<int64_t> day, size_t root, const std::string& path,
                   const char* reason);
    void record_file(int64_t day, size_t root, const fs::path& folder, const std::string& path,
                     const report::folder_entry& entry, const report::record_name& name,
                     const folder_status& status);
    // m_content made ready for the entry at `path`; what is stored of it, if anything.
    const stored_file* prepare(std::optional<int64_t> day, size_t root, const std::string& path);
    // Counts an entry the first time its path is met in this pass; false after.
    bool first_sight(const std::string& path, const stored_file* known, bool unparsed);
    void keep(file_content& content, const stored_file* known);
    void looked_at();

    store& m_store;
    const report::station_roots& m_station;
    ingest_counts& m_counts;
    const ingest_events& m_events;
    int64_t m_id = 0;
    std::vector<int64_t> m_roots;
    // What is stored of the folder at hand, by path, and which of it was met in this pass;
    // entries new to the database are remembered by path.
    std::vector<stored_file> m_known;
    std::vector<char> m_known_seen;
    std::unordered_set<std::string> m_new_seen;
    std::string m_path;
    bool m_all_listed = true; // vanished entries are only counted when every folder was read
    uint64_t m_files = 0;
    report::record_reader m_reader;
    report::judgement_reader m_judgements;
    std::vector<report::folder_entry> m_entries;
    std::string m_problem;
    std::string m_buffer;
    file_content m_content; // of the entry at hand, its vectors kept from file to file
};

bool station_ingest::run() {
    m_id = m_store.station_id(m_station.name);
    std::map<int64_t, std::vector<day_folder>> days;
    std::vector<std::vector<report::folder_entry>> tops(m_station.roots.size());
    for (size_t i = 0; i < m_station.roots.size(); ++i) {
        const fs::path& root = m_station.roots[i];
        m_roots.push_back(m_store.root_id(m_id, report::shown_path(root)));
        if (!report::list_folder(root / report::data_folder, tops[i], m_problem)) {
            m_events.problem(report::shown_path(root) + ": no " + report::data_folder +
                             " folder to read: " + m_problem);
            m_all_listed = false;
            tops[i].clear();
            continue;
        }
        for (const report::folder_entry& entry : tops[i]) {
            const auto day = entry.name_readable && entry.is_folder
                                 ? report::parse_folder_date(entry.name)
                                 : std::nullopt;
            if (day) {
                days[*day].push_back({i, entry.name});
            }
        }
    }
    in_transaction(std::nullopt, [&] {
        for (size_t i = 0; i < tops.size(); ++i) {
            for (const report::folder_entry& entry : tops[i]) {
                top_entry(i, entry);
            }
        }
    });
    for (const int64_t day : m_store.folder_days(m_id)) {
        if (!days.contains(day) && m_all_listed) {
            m_counts.vanished += m_store.files_in(m_id, day).size();
        }
    }
    for (const auto& [day, folders] : days) {
        if (m_events.stop && m_events.stop()) {
            return false;
        }
        in_transaction(day, [&] {
            for (const day_folder& folder : folders) {
                day_entries(day, folder);
            }
        });
    }
    return true;
}

template <typename Work>
void station_ingest::in_transaction(std::optional<int64_t> day, const Work& work) {
    m_store.begin();
    try {
        load(day);
        work();
        count_vanished();
        m_store.commit();
    } catch (...) {
        m_store.rollback();
        throw;
    }
}

void station_ingest::load(std::optional<int64_t> day) {
    m_known = m_store.files_in(m_id, day);
    std::sort(m_known.begin(), m_known.end(),
              [](const stored_file& a, const stored_file& b) { return a.path < b.path; });
    m_known_seen.assign(m_known.size(), 0);
    m_new_seen.clear();
}

const stored_file* station_ingest::known_at(std::string_view path) const {
    const auto found = std::lower_bound(
        m_known.begin(), m_known.end(), path,
        [](const stored_file& file, std::string_view wanted) { return file.path < wanted; });
    return found != m_known.end() && found->path == path ? &*found : nullptr;
}

void station_ingest::count_vanished() {
    if (m_all_listed) {
        m_counts.vanished +=
            static_cast<uint64_t>(std::count(m_known_seen.begin(), m_known_seen.end(), char{0}));
    }
}

void station_ingest::looked_at() {
    if (m_events.progress) {
        m_events.progress(++m_files);
    }
}

void station_ingest::top_entry(size_t root, const report::folder_entry& entry) {
    if (entry.name_readable && entry.is_folder && report::parse_folder_date(entry.name)) {
        return;
    }
    odd_entry(std::nullopt, root, std::string(report::data_folder) + "/" + entry.name,
              entry.is_folder ? report::not_a_date_folder : report::file_outside_date_folders);
}

void station_ingest::day_entries(std::optional<int64_t> day, const day_folder& folder) {
    const fs::path path = m_station.roots[folder.root] / report::data_folder /
                          fs::path(std::u8string(folder.name.begin(), folder.name.end()));
    const std::string relative = std::string(report::data_folder) + "/" + folder.name + "/";
    if (!report::list_folder(path, m_entries, m_problem)) {
        m_events.problem(report::shown_path(path) + ": cannot list the folder: " + m_problem);
        m_all_listed = false;
        return;
    }
    const folder_status status(path);
    const auto in_folder = [this](std::string_view name) {
        return std::ranges::binary_search(m_entries, name, std::ranges::less(),
                                          &report::folder_entry::name);
    };
    for (const report::folder_entry& entry : m_entries) {
        const auto name = entry.name_readable && !entry.is_folder
                              ? report::parse_record_name(entry.name, in_folder)
                              : std::nullopt;
        m_path.assign(relative).append(entry.name);
        if (name) {
            record_file(*day, folder.root, path, m_path, entry, *name, status);
        } else {
            odd_entry(day, folder.root, m_path,
                      entry.is_folder ? report::folder_in_date_folder : report::not_a_record_name);
        }
    }
}

const stored_file* station_ingest::prepare(std::optional<int64_t> day, size_t root,
                                           const std::string& path) {
    file_content& content = m_content;
    content.station = m_id;
    content.folder_day = day;
    stored_file& file = content.file; // reset field by field, so its strings keep their room
    file.id = 0;
    file.root = m_roots[root];
    file.path = storable_text(path, m_buffer);
    file.size = 0;
    file.mtime = 0;
    file.hash = 0;
    file.problem.clear();
    content.time = 0;
    content.qr.clear();
    content.is_record = false;
    content.is_program_result = false;
    content.lines.clear();
    content.results.clear();
    return known_at(content.file.path);
}

void station_ingest::odd_entry(std::optional<int64_t> day, size_t root, const std::string& path,
                               const char* reason) {
    const stored_file* known = prepare(day, root, path);
    m_content.file.problem = reason;
    keep(m_content, known);
}

void station_ingest::record_file(int64_t day, size_t root, const fs::path& folder,
                                 const std::string& path, const report::folder_entry& entry,
                                 const report::record_name& name, const folder_status& status) {
    const stored_file* known = prepare(day, root, path);
    file_content& content = m_content;
    // Asked before the file is read: a file still being written is then stored as read and
    // found changed on the next pass, never taken as unchanged with a part of its content.
    const auto now = status.of(entry.name);
    if (now) {
        content.file.size = now->size;
        content.file.mtime = now->mtime;
    }
    if (known && now && known->size == now->size && known->mtime == now->mtime) {
        if (first_sight(content.file.path, known, !known->problem.empty())) {
            ++m_counts.unchanged; // not read
        }
        return;
    }
    const auto bytes = m_reader.read(folder, entry, m_problem);
    if (!bytes) {
        content.file.problem = m_problem;
    } else {
        content.file.hash = XXH3_64bits(bytes->data(), bytes->size());
        content.time = name.time;
        content.qr = name.qr;
        if (name.kind == report::record_kind::station) {
            content.is_record =
                report::parse_station_record(*bytes, content.lines, m_problem, m_judgements);
        } else {
            content.is_program_result =
                report::parse_program_result(*bytes, content.results, m_problem);
        }
        if (!content.is_record && !content.is_program_result) {
            content.file.problem = m_problem;
        }
    }
    keep(content, known);
}

bool station_ingest::first_sight(const std::string& path, const stored_file* known, bool unparsed) {
    char* seen = known ? &m_known_seen[static_cast<size_t>(known - m_known.data())] : nullptr;
    if (seen ? *seen : !m_new_seen.insert(path).second) {
        return false; // the same path under another root of the station: stored once
    }
    if (seen) {
        *seen = 1;
    }
    looked_at();
    m_counts.unparsed += unparsed ? 1 : 0;
    return true;
}

void station_ingest::keep(file_content& content, const stored_file* known) {
    const stored_file& file = content.file;
    if (!first_sight(file.path, known, !file.problem.empty())) {
        return;
    }
    if (known && file.hash == known->hash && file.problem == known->problem) {
        ++m_counts.unchanged;
        if (file.mtime != known->mtime) {
            m_store.touch_file(known->id, file.mtime);
        }
        return;
    }
    ++(known ? m_counts.changed : m_counts.added);
    if (!file.problem.empty() && m_events.unparsed) {
        m_events.unparsed(file.path, file.problem);
    }
    m_store.store_file(content, known ? known->id : 0);
}

} // namespace

bool ingest_station(store& database, const report::station_roots& station, ingest_counts& counts,
                    const ingest_events& events) {
    return station_ingest(database, station, counts, events).run();
}

} // namespace db
