#include "sqlite_store.h"

#include "outcome_text.h"
#include "schema.h"
#include "sqlite_handle.h"
#include "storable_text.h"

#include <chrono>
#include <map>

namespace db {
namespace {

// Another ingest's transaction (one date folder) is waited for this long.
constexpr int busy_timeout_ms = 120000;

int64_t now_seconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class sqlite_store : public store {
public:
    sqlite_store(const std::string& path, bool create) : m_db(path, create) {
        sqlite3_busy_timeout(m_db.get(), busy_timeout_ms);
        m_db.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    }

    int migrate() override;
    void lock_ingest() override {} // each write transaction takes the file's write lock
    int64_t station_id(std::string_view name) override;
    int64_t root_id(int64_t station, std::string_view path) override;
    void begin() override { m_db.exec("BEGIN IMMEDIATE"); }
    void commit() override { m_db.exec("COMMIT"); }
    void rollback() override { m_db.exec("ROLLBACK"); }
    std::vector<stored_file> files_in(int64_t station, std::optional<int64_t> folder_day) override;
    void store_file(const file_content& content, int64_t replaces) override;
    void touch_file(int64_t id, int64_t mtime) override {
        statement(m_touch, "UPDATE source_files SET mtime = ? WHERE id = ?").bind(mtime, id).run();
    }
    std::map<int64_t, folder_state> folder_states(int64_t station) override;
    void set_folder_state(int64_t station, int64_t folder_day, const folder_state& state) override;
    void after_ingest(uint64_t files) override {
        if (files >= statistics_after_files) {
            m_db.exec("PRAGMA optimize");
        }
    }
    uint64_t files_of_station(int64_t station) override;
    std::vector<station_entry> stations() override;
    std::vector<int64_t> folder_days(int64_t station) override;
    void read_folder(int64_t station, std::optional<int64_t> folder_day,
                     folder_rows& rows) override;
    std::vector<board_record> board(std::string_view qr) override;

private:
    // The statement made once from `sql` and kept for the connection's life.
    sqlite_statement& statement(std::unique_ptr<sqlite_statement>& slot, const char* sql) {
        if (!slot) {
            slot = std::make_unique<sqlite_statement>(m_db, sql);
        }
        return *slot;
    }
    int64_t id_of(std::unique_ptr<sqlite_statement>& insert, const char* insert_sql,
                  std::unique_ptr<sqlite_statement>& select, const char* select_sql, int64_t owner,
                  std::string_view text);
    void delete_rows(int64_t file);
    void store_record(const file_content& content, int64_t file);

    sqlite_connection m_db;
    std::unique_ptr<sqlite_statement> m_insert_station, m_select_station, m_insert_root,
        m_select_root, m_files_in, m_files_at_top, m_insert_file, m_update_file, m_touch,
        m_delete_measurements, m_delete_records, m_delete_results, m_insert_record,
        m_insert_measurement, m_insert_result, m_count_files, m_folder_days, m_read_files,
        m_read_top_files, m_read_lines, m_read_top_lines, m_read_results, m_read_top_results,
        m_board, m_board_failed, m_folder_state, m_set_folder_state;
    std::string m_buffer[4];
};

int sqlite_store::migrate() {
    m_db.exec("BEGIN IMMEDIATE");
    try {
        int found = 0;
        sqlite_statement has_table(m_db, "SELECT count(*) FROM sqlite_master WHERE type = "
                                         "'table' AND name = 'schema_version'");
        if (has_table.step() && has_table.integer(0) > 0) {
            sqlite_statement version(m_db, "SELECT max(version) FROM schema_version");
            found = version.step() ? static_cast<int>(version.integer(0)) : 0;
        }
        if (found > schema_version) {
            throw store_error("the database has tables of version " + std::to_string(found) +
                              "; this qeldb knows version " + std::to_string(schema_version) +
                              " and older");
        }
        for (const migration& step : migrations()) {
            if (step.version > found) {
                m_db.exec(step.sqlite);
            }
        }
        m_db.exec("COMMIT");
        return found;
    } catch (...) {
        m_db.exec("ROLLBACK");
        throw;
    }
}

int64_t sqlite_store::id_of(std::unique_ptr<sqlite_statement>& insert, const char* insert_sql,
                            std::unique_ptr<sqlite_statement>& select, const char* select_sql,
                            int64_t owner, std::string_view text) {
    std::string buffer;
    const std::string_view stored = storable_text(text, buffer);
    auto& find = statement(select, select_sql);
    auto& add = statement(insert, insert_sql);
    // Another ingest may add the same row between our look and our insert: the insert then
    // does nothing and the second look finds theirs.
    for (int attempt = 0; attempt < 2; ++attempt) {
        owner ? find.bind(owner, stored) : find.bind(stored);
        if (find.step()) {
            const int64_t id = find.integer(0);
            find.reset();
            return id;
        }
        owner ? add.bind(owner, stored) : add.bind(stored);
        add.run();
    }
    throw store_error("no row for " + std::string(stored) + " after adding it");
}

int64_t sqlite_store::station_id(std::string_view name) {
    return id_of(m_insert_station, "INSERT INTO stations (name) VALUES (?) ON CONFLICT DO NOTHING",
                 m_select_station, "SELECT id FROM stations WHERE name = ?", 0, name);
}

int64_t sqlite_store::root_id(int64_t station, std::string_view path) {
    return id_of(
        m_insert_root, "INSERT INTO roots (station, path) VALUES (?, ?) ON CONFLICT DO NOTHING",
        m_select_root, "SELECT id FROM roots WHERE station = ? AND path = ?", station, path);
}

std::vector<stored_file> sqlite_store::files_in(int64_t station,
                                                std::optional<int64_t> folder_day) {
    constexpr const char* columns = "SELECT id, root, path, size, mtime, hash, problem FROM "
                                    "source_files WHERE station = ? AND folder_day ";
    auto& query = folder_day
                      ? statement(m_files_in, (std::string(columns) + "= ?").c_str())
                      : statement(m_files_at_top, (std::string(columns) + "IS NULL").c_str());
    folder_day ? query.bind(station, *folder_day) : query.bind(station);
    std::vector<stored_file> files;
    while (query.step()) {
        files.push_back({query.integer(0), query.integer(1), std::string(query.text(2)),
                         query.integer(3), query.integer(4),
                         static_cast<uint64_t>(query.integer(5)), std::string(query.text(6))});
    }
    return files;
}

void sqlite_store::delete_rows(int64_t file) {
    statement(m_delete_measurements, "DELETE FROM measurements WHERE record IN (SELECT id FROM "
                                     "test_records WHERE source_file = ?)")
        .bind(file)
        .run();
    statement(m_delete_records, "DELETE FROM test_records WHERE source_file = ?").bind(file).run();
    statement(m_delete_results, "DELETE FROM program_results WHERE source_file = ?")
        .bind(file)
        .run();
}

void sqlite_store::store_file(const file_content& content, int64_t replaces) {
    const stored_file& file = content.file;
    const std::string_view path = storable_text(file.path, m_buffer[0]);
    const auto hash = static_cast<int64_t>(file.hash);
    const auto problem = file.problem.empty() ? std::optional<std::string_view>()
                                              : storable_text(file.problem, m_buffer[1]);
    int64_t id = replaces;
    if (replaces) {
        delete_rows(replaces);
        auto& update = statement(m_update_file,
                                 "UPDATE source_files SET root = ?, size = ?, mtime = ?, hash = ?, "
                                 "problem = ?, folder_day = ?, ingested_at = ? WHERE id = ?");
        update.bind(file.root, file.size, file.mtime, hash, nullptr, nullptr, now_seconds(), id);
        if (problem) {
            update.bind_one(5, *problem);
        }
        if (content.folder_day) {
            update.bind_one(6, *content.folder_day);
        }
        update.run();
    } else {
        auto& insert = statement(m_insert_file,
                                 "INSERT INTO source_files (station, root, path, folder_day, size, "
                                 "mtime, hash, problem, ingested_at) VALUES (?, ?, ?, ?, ?, ?, ?, "
                                 "?, ?)");
        insert.bind(content.station, file.root, path, nullptr, file.size, file.mtime, hash, nullptr,
                    now_seconds());
        if (content.folder_day) {
            insert.bind_one(4, *content.folder_day);
        }
        if (problem) {
            insert.bind_one(8, *problem);
        }
        insert.run();
        id = sqlite3_last_insert_rowid(m_db.get());
    }
    if (problem) {
        return;
    }
    if (content.is_record) {
        store_record(content, id);
    }
    if (content.is_program_result) {
        auto& insert = statement(m_insert_result,
                                 "INSERT INTO program_results (station, source_file, cycle, slot, "
                                 "qr, outcome) VALUES (?, ?, ?, ?, ?, ?)");
        for (const report::program_line& line : content.results) {
            insert.bind(content.station, id, content.time, line.slot,
                        storable_text(line.qr, m_buffer[0]), outcome_text(line.outcome));
            insert.run();
        }
    }
}

void sqlite_store::store_record(const file_content& content, int64_t file) {
    statement(m_insert_record, "INSERT INTO test_records (station, source_file, time, qr, slot, "
                               "result, cycle) VALUES (?, ?, ?, ?, ?, ?, ?)")
        .bind(content.station, file, content.time, storable_text(content.qr, m_buffer[0]),
              content.lines.empty() ? 0 : content.lines.front().slot, record_result(content.lines),
              content.time)
        .run();
    const int64_t record = sqlite3_last_insert_rowid(m_db.get());
    auto& insert = statement(m_insert_measurement,
                             "INSERT INTO measurements (record, time, position, slot, name, value, "
                             "unit, low, high, pass) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    int position = 0;
    for (const report::judgement_line& line : content.lines) {
        insert.bind(record, content.time, position++, line.slot,
                    storable_text(line.name, m_buffer[0]), line.value,
                    storable_text(line.unit, m_buffer[1]), line.low, line.high, int64_t{line.pass});
        insert.run();
    }
}

std::map<int64_t, folder_state> sqlite_store::folder_states(int64_t station) {
    auto& query = statement(m_folder_state, "SELECT folder_day, fingerprint, entries, unparsed, "
                                            "stored FROM source_folders WHERE station = ?");
    query.bind(station);
    std::map<int64_t, folder_state> states;
    while (query.step()) {
        states[query.integer(0)] = {
            static_cast<uint64_t>(query.integer(1)), static_cast<uint64_t>(query.integer(2)),
            static_cast<uint64_t>(query.integer(3)), static_cast<uint64_t>(query.integer(4))};
    }
    return states;
}

void sqlite_store::set_folder_state(int64_t station, int64_t folder_day,
                                    const folder_state& state) {
    statement(m_set_folder_state,
              "INSERT INTO source_folders VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (station, "
              "folder_day) DO UPDATE SET fingerprint = excluded.fingerprint, entries = "
              "excluded.entries, unparsed = excluded.unparsed, stored = excluded.stored")
        .bind(station, folder_day, static_cast<int64_t>(state.fingerprint),
              static_cast<int64_t>(state.entries), static_cast<int64_t>(state.unparsed),
              static_cast<int64_t>(state.stored))
        .run();
}

uint64_t sqlite_store::files_of_station(int64_t station) {
    auto& count = statement(m_count_files, "SELECT count(*) FROM source_files WHERE station = ?");
    count.bind(station);
    const uint64_t files = count.step() ? static_cast<uint64_t>(count.integer(0)) : 0;
    count.reset();
    return files;
}

std::vector<station_entry> sqlite_store::stations() {
    std::vector<station_entry> all;
    sqlite_statement list(m_db, "SELECT s.id, s.name, r.id, r.path FROM stations s LEFT JOIN "
                                "roots r ON r.station = s.id ORDER BY s.name, r.id");
    while (list.step()) {
        if (all.empty() || all.back().id != list.integer(0)) {
            all.push_back({list.integer(0), std::string(list.text(1)), {}});
        }
        if (!list.is_null(2)) {
            all.back().roots.emplace_back(list.integer(2), std::string(list.text(3)));
        }
    }
    return all;
}

std::vector<int64_t> sqlite_store::folder_days(int64_t station) {
    auto& list = statement(m_folder_days, "SELECT DISTINCT folder_day FROM source_files WHERE "
                                          "station = ? AND folder_day IS NOT NULL ORDER BY 1");
    list.bind(station);
    std::vector<int64_t> days;
    while (list.step()) {
        days.push_back(list.integer(0));
    }
    return days;
}

void sqlite_store::read_folder(int64_t station, std::optional<int64_t> folder_day,
                               folder_rows& rows) {
    rows = {};
    const std::string where = folder_day ? "f.station = ?1 AND f.folder_day = ?2"
                                         : "f.station = ?1 AND f.folder_day IS NULL";
    const auto query = [&](std::unique_ptr<sqlite_statement>& at_day,
                           std::unique_ptr<sqlite_statement>& at_top,
                           const std::string& sql) -> sqlite_statement& {
        auto& chosen = statement(folder_day ? at_day : at_top, sql.c_str());
        folder_day ? chosen.bind(station, *folder_day) : chosen.bind(station);
        return chosen;
    };
    auto& files = query(m_read_files, m_read_top_files,
                        "SELECT f.id, f.root, f.path, f.size, f.mtime, f.hash, f.problem FROM "
                        "source_files f WHERE " +
                            where + " ORDER BY f.root, f.path");
    while (files.step()) {
        rows.files.push_back({files.integer(0), files.integer(1), std::string(files.text(2)),
                              files.integer(3), files.integer(4),
                              static_cast<uint64_t>(files.integer(5)), std::string(files.text(6))});
    }
    auto& records =
        query(m_read_lines, m_read_top_lines,
              "SELECT r.source_file, m.slot, m.pass, m.name, m.value, m.unit, m.low, "
              "m.high, m.position FROM source_files f JOIN test_records r ON "
              "r.source_file = f.id LEFT JOIN measurements m ON m.record = r.id WHERE " +
                  where + " ORDER BY r.id, m.position");
    while (records.step()) {
        if (rows.records.empty() || rows.records.back().file != records.integer(0)) {
            rows.records.push_back({records.integer(0), {}});
        }
        if (!records.is_null(8)) {
            rows.records.back().lines.push_back(
                {static_cast<int>(records.integer(1)), records.integer(2) != 0,
                 std::string(records.text(3)), records.real(4), std::string(records.text(5)),
                 records.real(6), records.real(7)});
        }
    }
    auto& results = query(m_read_results, m_read_top_results,
                          "SELECT p.source_file, p.slot, p.qr, p.outcome FROM source_files f JOIN "
                          "program_results p ON p.source_file = f.id WHERE " +
                              where + " ORDER BY p.id");
    while (results.step()) {
        if (rows.program_results.empty() ||
            rows.program_results.back().file != results.integer(0)) {
            rows.program_results.push_back({results.integer(0), {}});
        }
        rows.program_results.back().lines.push_back(
            {static_cast<int>(results.integer(1)), std::string(results.text(2)),
             parse_outcome(results.text(3)).value_or(report::program_outcome::failed)});
    }
}

std::vector<board_record> sqlite_store::board(std::string_view qr) {
    auto& query = statement(
        m_board,
        "SELECT s.name, r.time, r.slot, r.result, r.id, (SELECT p.outcome FROM program_results p "
        "WHERE p.qr = r.qr AND p.station = r.station AND p.cycle BETWEEN r.time AND r.time + 60 "
        "AND (r.slot = 0 OR p.slot = r.slot) ORDER BY p.cycle, p.id LIMIT 1) FROM test_records r "
        "JOIN stations s ON s.id = r.station WHERE r.qr = ? ORDER BY r.time, s.name, r.id");
    std::string buffer;
    query.bind(storable_text(qr, buffer));
    std::vector<board_record> records;
    std::vector<int64_t> ids;
    while (query.step()) {
        records.push_back({std::string(query.text(0)), query.integer(1),
                           static_cast<int>(query.integer(2)), std::string(query.text(3)), "",
                           std::string(query.text(5))});
        ids.push_back(query.integer(4));
    }
    auto& failed = statement(m_board_failed, "SELECT name FROM measurements WHERE record = ? AND "
                                             "pass = 0 ORDER BY position");
    for (size_t i = 0; i < records.size(); ++i) {
        failed.bind(ids[i]);
        while (failed.step()) {
            records[i].failed += (records[i].failed.empty() ? "" : ";");
            records[i].failed += failed.text(0);
        }
    }
    return records;
}

} // namespace

std::unique_ptr<store> open_sqlite_store(const std::string& path, bool create) {
    return std::make_unique<sqlite_store>(path, create);
}

} // namespace db
