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

// A date folder listed, with the size and time of each of its files.
struct listed_folder {
    size_t root = 0;
    fs::path path;
    std::string relative; // "qel_data/<name>/"
    std::vector<report::folder_entry> entries;
    std::vector<std::optional<file_status>> status; // by entry; none for a folder
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
    const stored_file* known_at(std::string_view path);
    // Counts the loaded entries not seen since load() as vanished.
    void count_vanished();
    void top_entry(size_t root, const report::folder_entry& entry);
    // Lists a day's folders into m_day; the fingerprint of what they hold, or nullopt when
    // one could not be listed.
    std::optional<uint64_t> list_day(const std::vector<day_folder>& folders);
    // Stores what changed in a day listed into m_day, with the day's state when the day was
    // listed whole.
    void store_day(int64_t day, std::optional<uint64_t> fingerprint);
    void day_entries(int64_t day, const listed_folder& folder);
    // Stores an entry that is no record, unless stored so already.
    void odd_entry(std::optional<int64_t> day, size_t root, const std::string& path,
                   const char* reason);
    void record_file(int64_t day, size_t root, const fs::path& folder, const std::string& path,
                     const report::folder_entry& entry, const report::record_name& name,
                     const std::optional<file_status>& now);
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
    std::vector<stored_file> m_known; // by path
    size_t m_next_known = 0;          // where the next entry is looked for first
    std::vector<char> m_known_seen;
    std::unordered_set<std::string> m_new_seen;
    std::string m_path;
    bool m_all_listed = true; // vanished entries are only counted when every folder was read
    uint64_t m_files = 0;
    report::record_reader m_reader;
    report::judgement_reader m_judgements;
    std::vector<listed_folder> m_day;
    size_t m_day_folders = 0; // of m_day in use
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
    // Read once: a state is only ever replaced by that of a later listing, and a listing the
    // same as an earlier state's is one whose files were all stored then.
    const std::map<int64_t, folder_state> states = m_store.folder_states(m_id);
    for (const auto& [day, folders] : days) {
        if (m_events.stop && m_events.stop()) {
            return false;
        }
        const auto fingerprint = list_day(folders);
        const auto state = states.find(day);
        if (fingerprint && state != states.end() && state->second.fingerprint == *fingerprint) {
            // Listed as when it was last stored whole: nothing in it to read.
            m_counts.unchanged += state->second.entries;
            m_counts.unparsed += state->second.unparsed;
            m_counts.vanished += m_all_listed ? state->second.stored - state->second.entries : 0;
            m_files += state->second.entries;
            if (m_events.progress) {
                m_events.progress(m_files);
            }
            continue;
        }
        store_day(day, fingerprint);
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
    m_next_known = 0;
    m_known_seen.assign(m_known.size(), 0);
    m_new_seen.clear();
}

const stored_file* station_ingest::known_at(std::string_view path) {
    // A folder is listed in the order of its stored paths: the next one is mostly the one.
    if (m_next_known < m_known.size() && m_known[m_next_known].path == path) {
        return &m_known[m_next_known++];
    }
    const auto found = std::lower_bound(
        m_known.begin(), m_known.end(), path,
        [](const stored_file& file, std::string_view wanted) { return file.path < wanted; });
    if (found == m_known.end() || found->path != path) {
        return nullptr;
    }
    m_next_known = static_cast<size_t>(found - m_known.begin()) + 1;
    return &*found;
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

std::optional<uint64_t> station_ingest::list_day(const std::vector<day_folder>& folders) {
    XXH3_state_t* hash = XXH3_createState();
    XXH3_64bits_reset(hash);
    bool listed = true;
    m_day_folders = 0;
    for (const day_folder& day_folder : folders) {
        if (m_day.size() == m_day_folders) {
            m_day.emplace_back();
        }
        listed_folder& folder = m_day[m_day_folders];
        folder.root = day_folder.root;
        folder.path = m_station.roots[day_folder.root] / report::data_folder /
                      fs::path(std::u8string(day_folder.name.begin(), day_folder.name.end()));
        folder.relative = std::string(report::data_folder) + "/" + day_folder.name + "/";
        if (!report::list_folder(folder.path, folder.entries, m_problem)) {
            m_events.problem(report::shown_path(folder.path) +
                             ": cannot list the folder: " + m_problem);
            m_all_listed = false;
            listed = false;
            continue;
        }
        ++m_day_folders;
        const folder_status status(folder.path);
        folder.status.clear();
        XXH3_64bits_update(hash, folder.relative.data(), folder.relative.size() + 1);
        for (const report::folder_entry& entry : folder.entries) {
            const auto now = entry.is_folder ? std::nullopt : status.of(entry.name);
            folder.status.push_back(now);
            const int64_t facts[] = {entry.is_folder, now ? now->size : -1, now ? now->mtime : -1};
            XXH3_64bits_update(hash, entry.name.data(), entry.name.size() + 1);
            XXH3_64bits_update(hash, facts, sizeof facts);
        }
    }
    const uint64_t fingerprint = XXH3_64bits_digest(hash);
    XXH3_freeState(hash);
    return listed ? std::optional<uint64_t>(fingerprint) : std::nullopt;
}

void station_ingest::store_day(int64_t day, std::optional<uint64_t> fingerprint) {
    const ingest_counts before = m_counts;
    in_transaction(day, [&] {
        for (size_t i = 0; i < m_day_folders; ++i) {
            day_entries(day, m_day[i]);
        }
        const uint64_t added = m_counts.added - before.added;
        const uint64_t entries =
            added + m_counts.changed - before.changed + m_counts.unchanged - before.unchanged;
        if (fingerprint) {
            m_store.set_folder_state(m_id, day,
                                     {*fingerprint, entries, m_counts.unparsed - before.unparsed,
                                      m_known.size() + added});
        }
    });
}

void station_ingest::day_entries(int64_t day, const listed_folder& folder) {
    const auto in_folder = [&folder](std::string_view name) {
        return std::ranges::binary_search(folder.entries, name, std::ranges::less(),
                                          &report::folder_entry::name);
    };
    for (size_t i = 0; i < folder.entries.size(); ++i) {
        const report::folder_entry& entry = folder.entries[i];
        const auto name = entry.name_readable && !entry.is_folder
                              ? report::parse_record_name(entry.name, in_folder)
                              : std::nullopt;
        m_path.assign(folder.relative).append(entry.name);
        if (name) {
            record_file(day, folder.root, folder.path, m_path, entry, *name, folder.status[i]);
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
                                 const report::record_name& name,
                                 const std::optional<file_status>& now) {
    const stored_file* known = prepare(day, root, path);
    file_content& content = m_content;
    // Asked before the file is read: a file still being written is then stored as read and
    // found changed on the next pass, never taken as unchanged with a part of its content.
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
