// Every statement this engine sends is in this file. Records, their measurements and the
// programming results are sent in bulk with COPY at commit (or once many wait), so an ingest
// costs few round trips.
//
// test_records and measurements are split into one partition a month of `time`, created as
// rows of a new month come. A month that is no longer wanted goes whole, without a slow
// DELETE: DROP TABLE test_records_y2024m03, measurements_y2024m03 (and then the rows of
// source_files and program_results of that time, if they should go too).
#include "postgres_store.h"

#include "outcome_text.h"
#include "pq_connection.h"
#include "record_time.h"
#include "schema.h"
#include "storable_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace db {
namespace {

// The advisory lock keys of this program ("qeldb" and a number), the same in every process.
constexpr int64_t migrate_lock = 0x71656c646201;
constexpr int64_t ingest_lock = 0x71656c646202;

// Rows waiting to be copied are sent once they are this many bytes.
constexpr size_t flush_bytes = size_t{8} << 20;
// How many ids one round trip takes from a sequence.
constexpr int id_block = 1024;

report::program_outcome outcome_of(std::string_view text) {
    if (const std::optional<report::program_outcome> outcome = parse_outcome(text)) {
        return *outcome;
    }
    throw store_error("unknown programming outcome in the database: " + std::string(text));
}

pq::param number(int64_t value) {
    return std::to_string(value);
}

pq::param day_param(std::optional<int64_t> day) {
    return day ? number(*day) : std::nullopt;
}

std::string storable(std::string_view bytes) {
    std::string buffer;
    return std::string(storable_text(bytes, buffer));
}

// Rows of one table in COPY's text format: a tab between fields, a newline after a row.
class copy_rows {
public:
    void text(std::string_view bytes) {
        const std::string_view stored = storable_text(bytes, m_buffer);
        if (stored.find_first_of("\\\t\n\r") == std::string_view::npos) {
            m_data += stored;
        } else {
            escape(stored);
        }
        m_data += '\t';
    }
    void text_or_null(std::string_view bytes) {
        if (bytes.empty()) {
            null();
        } else {
            text(bytes);
        }
    }
    void integer(int64_t value) {
        char digits[24];
        m_data.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        m_data += '\t';
    }
    void integer_or_null(std::optional<int64_t> value) {
        if (value) {
            integer(*value);
        } else {
            null();
        }
    }
    // Shortest digits that read back as the same double; NaN is NULL.
    void real(double value) {
        if (std::isnan(value)) {
            null();
            return;
        }
        if (std::isinf(value)) {
            m_data += value > 0 ? "Infinity\t" : "-Infinity\t";
            return;
        }
        char digits[32];
        m_data.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        m_data += '\t';
    }
    void boolean(bool value) { m_data += value ? "t\t" : "f\t"; }
    void null() { m_data += "\\N\t"; }
    void end_row() { m_data.back() = '\n'; }

    size_t size() const { return m_data.size(); }
    std::string take() { return std::exchange(m_data, {}); }
    void clear() { m_data.clear(); }

private:
    void escape(std::string_view text) {
        for (const char c : text) {
            switch (c) {
            case '\\':
                m_data += "\\\\";
                break;
            case '\t':
                m_data += "\\t";
                break;
            case '\n':
                m_data += "\\n";
                break;
            case '\r':
                m_data += "\\r";
                break;
            default:
                m_data += c;
            }
        }
    }

    std::string m_data;
    std::string m_buffer; // a text made storable
};

// Ids taken from a sequence a block at a time, so that rows can be copied with their ids.
class id_pool {
public:
    explicit id_pool(const char* sequence) : m_sequence(sequence) {}

    int64_t next(pq::connection& db) {
        if (m_ids.empty()) {
            const pq::result block =
                db.exec("SELECT nextval($1::regclass) FROM generate_series(1, $2)",
                        {m_sequence, number(id_block)});
            for (int row = block.rows(); row-- > 0;) {
                m_ids.push_back(block.integer(row, 0));
            }
        }
        const int64_t id = m_ids.back();
        m_ids.pop_back();
        return id;
    }

private:
    std::string m_sequence;
    std::vector<int64_t> m_ids; // the next at the back
};

// The entries of station $1 in date folder $2 (NULL: the tops of its roots), and the files
// of those entries' rows.
const std::string in_folder =
    " station = $1 AND (folder_day = $2::integer OR ($2::integer IS NULL AND folder_day IS NULL))";
const std::string of_folder =
    " source_file IN (SELECT id FROM source_files WHERE" + in_folder + ")";
const std::string file_columns =
    "SELECT id, root, path, size, mtime, hash, coalesce(problem, '') FROM source_files WHERE";

stored_file file_at(const pq::result& rows, int row) {
    return {rows.integer(row, 0),           rows.integer(row, 1),
            std::string(rows.text(row, 2)), rows.integer(row, 3),
            rows.integer(row, 4),           static_cast<uint64_t>(rows.integer(row, 5)),
            std::string(rows.text(row, 6))};
}

// A folder's records, then their lines by the records' ids within the records' times: one
// index scan in the months concerned instead of a lookup a record.
const std::string records_of = "SELECT r.source_file, r.id, r.time FROM test_records r WHERE";
const std::string lines_of_records = R"(
    SELECT record, position, slot, pass, name, value, unit, low, high FROM measurements
    WHERE record = ANY($1::bigint[]) AND time >= $2::bigint AND time <= $3::bigint
    ORDER BY record, position)";

// Adds the records of a records_of query to `records`, and their times' bounds to `span`.
void add_records(const pq::result& rows, std::vector<read_record>& records,
                 std::unordered_map<int64_t, size_t>& record_at,
                 std::pair<int64_t, int64_t>& span) {
    for (int row = 0; row < rows.rows(); ++row) {
        if (record_at.try_emplace(rows.integer(row, 1), records.size()).second) {
            records.push_back({rows.integer(row, 0), {}});
            span.first = std::min(span.first, rows.integer(row, 2));
            span.second = std::max(span.second, rows.integer(row, 2));
        }
    }
}

// Fills in the lines of a lines_of_records query.
void add_lines(const pq::result& lines, std::vector<read_record>& records,
               const std::unordered_map<int64_t, size_t>& record_at) {
    for (int row = 0; row < lines.rows(); ++row) {
        std::vector<stored_line>& record = records[record_at.at(lines.integer(row, 0))].lines;
        const auto position = static_cast<size_t>(lines.integer(row, 1));
        if (position >= record.size()) {
            record.resize(position + 1);
        }
        record[position] = {static_cast<int>(lines.integer(row, 2)),
                            lines.boolean(row, 3),
                            std::string(lines.text(row, 4)),
                            lines.real(row, 5),
                            std::string(lines.text(row, 6)),
                            lines.real(row, 7),
                            lines.real(row, 8)};
    }
}

// Orders `items` (each with a `file`) as `files` are.
template <class Item>
void order_by_file(std::vector<Item>& items, const std::vector<stored_file>& files) {
    std::unordered_map<int64_t, size_t> position;
    for (size_t i = 0; i < files.size(); ++i) {
        position.emplace(files[i].id, i);
    }
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return position.at(a.file) < position.at(b.file);
    });
}

class postgres_store final : public store {
public:
    explicit postgres_store(const std::string& conninfo) : m_db(conninfo) {
        // Doubles read back exactly; no notice of partitions that already exist. Every query
        // here is answered by indexes in milliseconds: compiling it or starting workers for it
        // took longer (150 ms and 13 ms of a folder's read).
        m_db.exec("SET client_encoding = 'UTF8'; SET extra_float_digits = 3;"
                  "SET client_min_messages = warning; SET jit = off;"
                  "SET max_parallel_workers_per_gather = 0");
    }

    int migrate() override {
        m_db.exec("BEGIN");
        try {
            // Two first ingests at once: the second finds the tables the first made.
            m_db.exec("SELECT pg_advisory_xact_lock($1)", {number(migrate_lock)});
            int version = 0;
            if (m_db.exec("SELECT to_regclass('schema_version') IS NOT NULL").boolean(0, 0)) {
                version = static_cast<int>(
                    m_db.exec("SELECT coalesce(max(version), 0) FROM schema_version")
                        .integer(0, 0));
            }
            if (version > schema_version) {
                throw store_error("the database is of version " + std::to_string(version) +
                                  ", newer than this program's " + std::to_string(schema_version));
            }
            for (const migration& step : migrations()) {
                if (step.version > version) {
                    m_db.exec(step.postgres.c_str());
                }
            }
            m_db.exec("COMMIT");
            return version;
        } catch (const store_error&) {
            m_db.exec("ROLLBACK");
            throw;
        }
    }

    void lock_ingest() override {
        // Held by the session: it goes with the connection.
        m_db.exec("SELECT pg_advisory_lock($1)", {number(ingest_lock)});
    }

    int64_t station_id(std::string_view name) override {
        return added_or_found(R"(
            WITH added AS (
                INSERT INTO stations (name) VALUES ($1) ON CONFLICT (name) DO NOTHING RETURNING id)
            SELECT id FROM added UNION ALL SELECT id FROM stations WHERE name = $1)",
                              {storable(name)});
    }

    int64_t root_id(int64_t station, std::string_view path) override {
        return added_or_found(R"(
            WITH added AS (
                INSERT INTO roots (station, path) VALUES ($1, $2)
                ON CONFLICT (station, path) DO NOTHING RETURNING id)
            SELECT id FROM added UNION ALL SELECT id FROM roots WHERE station = $1 AND path = $2)",
                              {number(station), storable(path)});
    }

    void begin() override {
        m_db.exec("BEGIN");
        m_in_transaction = true;
    }

    void commit() override {
        flush();
        m_in_transaction = false;
        // Months made by a transaction that fails to commit are gone with it.
        std::set<int> made = std::exchange(m_new_months, {});
        m_db.exec("COMMIT");
        m_months.merge(made);
    }

    void rollback() override {
        for (copy_rows* rows : {&m_files, &m_records, &m_measurements, &m_results}) {
            rows->clear();
        }
        m_new_months.clear();
        m_in_transaction = false;
        m_db.exec("ROLLBACK");
    }

    std::vector<stored_file> files_in(int64_t station, std::optional<int64_t> folder_day) override {
        flush();
        static const std::string sql = file_columns + in_folder + " ORDER BY path";
        const pq::result rows = m_db.exec(sql.c_str(), {number(station), day_param(folder_day)});
        std::vector<stored_file> files;
        files.reserve(static_cast<size_t>(rows.rows()));
        for (int row = 0; row < rows.rows(); ++row) {
            files.push_back(file_at(rows, row));
        }
        return files;
    }

    void store_file(const file_content& content, int64_t replaces) override {
        const stored_file& file = content.file;
        const int64_t id = replaces != 0 ? replaces : m_file_ids.next(m_db);
        if (replaces != 0) {
            replace_file(content, replaces);
        } else {
            m_files.integer(id);
            m_files.integer(content.station);
            m_files.integer(file.root);
            m_files.text(file.path);
            m_files.integer_or_null(content.folder_day);
            m_files.integer(file.size);
            m_files.integer(file.mtime);
            m_files.integer(static_cast<int64_t>(file.hash));
            m_files.text_or_null(file.problem);
            m_files.integer(std::time(nullptr));
            m_files.end_row();
        }
        if (file.problem.empty() && content.is_record) {
            add_record(content, id);
        }
        if (file.problem.empty() && content.is_program_result) {
            add_results(content, id);
        }
        if (!m_in_transaction ||
            m_files.size() + m_records.size() + m_measurements.size() + m_results.size() >=
                flush_bytes) {
            flush();
        }
    }

    void touch_file(int64_t id, int64_t mtime) override {
        m_db.exec("UPDATE source_files SET mtime = $2 WHERE id = $1", {number(id), number(mtime)});
    }

    std::map<int64_t, folder_state> folder_states(int64_t station) override {
        const pq::result rows =
            m_db.exec("SELECT folder_day, fingerprint, entries, unparsed, stored FROM "
                      "source_folders WHERE station = $1",
                      {number(station)});
        std::map<int64_t, folder_state> states;
        for (int row = 0; row < rows.rows(); ++row) {
            states[rows.integer(row, 0)] = {static_cast<uint64_t>(rows.integer(row, 1)),
                                            static_cast<uint64_t>(rows.integer(row, 2)),
                                            static_cast<uint64_t>(rows.integer(row, 3)),
                                            static_cast<uint64_t>(rows.integer(row, 4))};
        }
        return states;
    }

    void set_folder_state(int64_t station, int64_t folder_day, const folder_state& state) override {
        m_db.exec("INSERT INTO source_folders VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT "
                  "(station, folder_day) DO UPDATE SET fingerprint = excluded.fingerprint, "
                  "entries = excluded.entries, unparsed = excluded.unparsed, stored = "
                  "excluded.stored",
                  {number(station), number(folder_day),
                   number(static_cast<int64_t>(state.fingerprint)),
                   number(static_cast<int64_t>(state.entries)),
                   number(static_cast<int64_t>(state.unparsed)),
                   number(static_cast<int64_t>(state.stored))});
    }

    void after_ingest(uint64_t files) override {
        if (files >= statistics_after_files) {
            m_db.exec("ANALYZE source_files, source_folders, test_records, measurements, "
                      "program_results");
        }
    }

    uint64_t files_of_station(int64_t station) override {
        flush();
        return static_cast<uint64_t>(
            m_db.exec("SELECT count(*) FROM source_files WHERE station = $1", {number(station)})
                .integer(0, 0));
    }

    std::vector<station_entry> stations() override {
        // One statement, so that a station and its roots added meanwhile come together.
        const pq::result rows = m_db.exec(
            "SELECT s.id, s.name, r.id, r.path FROM stations s LEFT JOIN roots r ON r.station = "
            "s.id ORDER BY s.name COLLATE \"C\", r.id");
        std::vector<station_entry> entries;
        for (int row = 0; row < rows.rows(); ++row) {
            if (entries.empty() || entries.back().id != rows.integer(row, 0)) {
                entries.push_back({rows.integer(row, 0), std::string(rows.text(row, 1)), {}});
            }
            if (!rows.null(row, 2)) {
                entries.back().roots.emplace_back(rows.integer(row, 2), rows.text(row, 3));
            }
        }
        return entries;
    }

    std::vector<int64_t> folder_days(int64_t station) override {
        flush();
        const pq::result rows = m_db.exec(
            "SELECT DISTINCT folder_day FROM source_files WHERE station = $1 AND folder_day IS "
            "NOT NULL ORDER BY folder_day",
            {number(station)});
        std::vector<int64_t> days;
        for (int row = 0; row < rows.rows(); ++row) {
            days.push_back(rows.integer(row, 0));
        }
        return days;
    }

    void read_folder(int64_t station, std::optional<int64_t> folder_day,
                     folder_rows& rows) override {
        flush();
        // One snapshot for the three queries: a file committed between them would otherwise
        // bring records or results the listing lacks.
        if (m_in_transaction) {
            read_rows(station, folder_day, rows);
            return;
        }
        m_db.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
        try {
            read_rows(station, folder_day, rows);
        } catch (...) {
            m_db.exec("ROLLBACK");
            throw;
        }
        m_db.exec("COMMIT");
    }

    std::vector<board_record> board(std::string_view qr) override {
        flush();
        // Per record, its measurements by primary key in its own month, and the cycle's
        // results through program_results (qr, cycle).
        const pq::result rows = m_db.exec(R"(
            SELECT s.name, r.time, r.slot, r.result,
                coalesce((SELECT string_agg(m.name, ';' ORDER BY m.position) FROM measurements m
                          WHERE m.record = r.id AND m.time = r.time AND NOT m.pass), ''),
                coalesce((SELECT p.outcome FROM program_results p
                          WHERE p.qr = r.qr AND p.cycle BETWEEN r.time AND r.time + 60
                              AND p.station = r.station AND (r.slot = 0 OR p.slot = r.slot)
                          ORDER BY p.cycle, p.id LIMIT 1), '')
            FROM test_records r JOIN stations s ON s.id = r.station
            WHERE r.qr = $1
            ORDER BY r.time, s.name COLLATE "C", r.slot, r.id)",
                                          {storable(qr)});
        std::vector<board_record> records;
        records.reserve(static_cast<size_t>(rows.rows()));
        for (int row = 0; row < rows.rows(); ++row) {
            records.push_back({std::string(rows.text(row, 0)), rows.integer(row, 1),
                               static_cast<int>(rows.integer(row, 2)),
                               std::string(rows.text(row, 3)), std::string(rows.text(row, 4)),
                               std::string(rows.text(row, 5))});
        }
        return records;
    }

private:
    // The id a statement gave or found. Found nothing: a concurrent insert committed after
    // the statement began, and is seen by the next.
    int64_t added_or_found(const char* sql, const std::vector<pq::param>& params) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (const pq::result rows = m_db.exec(sql, params); rows.rows() > 0) {
                return rows.integer(0, 0);
            }
        }
        throw store_error("PostgreSQL neither added nor found a row");
    }

    // The earlier version's rows go; the measurements by their records' ids within their
    // time, so that only those months are looked at.
    void replace_file(const file_content& content, int64_t id) {
        const stored_file& file = content.file;
        const pq::result gone = m_db.exec(
            R"(
            WITH results AS (DELETE FROM program_results WHERE source_file = $1),
            updated AS (
                UPDATE source_files SET root = $2, size = $3, mtime = $4, hash = $5, problem = $6,
                    folder_day = $7, ingested_at = $8
                WHERE id = $1)
            DELETE FROM test_records WHERE source_file = $1 RETURNING id, time)",
            {number(id), number(file.root), number(file.size), number(file.mtime),
             number(static_cast<int64_t>(file.hash)),
             file.problem.empty() ? std::nullopt : pq::param(storable(file.problem)),
             day_param(content.folder_day), number(std::time(nullptr))});
        if (gone.rows() == 0) {
            return;
        }
        std::string ids = "{";
        int64_t first = gone.integer(0, 1);
        int64_t last = first;
        for (int row = 0; row < gone.rows(); ++row) {
            ids += (row == 0 ? "" : ",") + std::string(gone.text(row, 0));
            first = std::min(first, gone.integer(row, 1));
            last = std::max(last, gone.integer(row, 1));
        }
        ids += '}';
        m_db.exec("DELETE FROM measurements WHERE record = ANY($1::bigint[]) AND time BETWEEN $2 "
                  "AND $3",
                  {ids, number(first), number(last)});
    }

    void add_record(const file_content& content, int64_t file) {
        add_month(content.time);
        const int64_t id = m_record_ids.next(m_db);
        const auto& lines = content.lines;
        m_records.integer(id);
        m_records.integer(content.station);
        m_records.integer(file);
        m_records.integer(content.time);
        m_records.text(content.qr);
        m_records.integer(lines.empty() ? 0 : lines.front().slot);
        m_records.text(record_result(lines));
        m_records.integer(content.time);
        m_records.end_row();
        for (size_t position = 0; position < lines.size(); ++position) {
            const report::judgement_line& line = lines[position];
            m_measurements.integer(id);
            m_measurements.integer(content.time);
            m_measurements.integer(static_cast<int64_t>(position));
            m_measurements.integer(line.slot);
            m_measurements.text(line.name);
            m_measurements.real(line.value);
            m_measurements.text(line.unit);
            m_measurements.real(line.low);
            m_measurements.real(line.high);
            m_measurements.boolean(line.pass);
            m_measurements.end_row();
        }
    }

    void add_results(const file_content& content, int64_t file) {
        for (const report::program_line& line : content.results) {
            m_results.integer(content.station);
            m_results.integer(file);
            m_results.integer(content.time);
            m_results.integer(line.slot);
            m_results.text(line.qr);
            m_results.text(outcome_text(line.outcome));
            m_results.end_row();
        }
    }

    // Creates the month partitions of `time` unless this connection knows them.
    void add_month(report::local_seconds time) {
        const int64_t day =
            time >= 0 ? time / report::seconds_per_day : (time + 1) / report::seconds_per_day - 1;
        const report::civil_date date = report::civil_from_days(day);
        const int month = date.year * 12 + date.month - 1;
        if (m_months.count(month) != 0 || m_new_months.count(month) != 0) {
            return;
        }
        const int64_t next = date.month == 12 ? *report::day_number(date.year + 1, 1, 1)
                                              : *report::day_number(date.year, date.month + 1, 1);
        const auto from = static_cast<long long>(*report::day_number(date.year, date.month, 1) *
                                                 report::seconds_per_day);
        const auto to = static_cast<long long>(next * report::seconds_per_day);
        char sql[512];
        std::snprintf(sql, sizeof sql,
                      "CREATE TABLE IF NOT EXISTS test_records_y%04dm%02d PARTITION OF "
                      "test_records FOR VALUES FROM (%lld) TO (%lld);"
                      "CREATE TABLE IF NOT EXISTS measurements_y%04dm%02d PARTITION OF "
                      "measurements FOR VALUES FROM (%lld) TO (%lld)",
                      date.year, date.month, from, to, date.year, date.month, from, to);
        m_db.exec(sql);
        (m_in_transaction ? m_new_months : m_months).insert(month);
    }

    void read_rows(int64_t station, std::optional<int64_t> folder_day, folder_rows& rows) {
        rows.files.clear();
        rows.records.clear();
        rows.program_results.clear();
        const std::vector<pq::param> folder = {number(station), day_param(folder_day)};

        static const std::string files_sql =
            file_columns + in_folder + " ORDER BY root, path COLLATE \"C\"";
        const pq::result files = m_db.exec(files_sql.c_str(), folder);
        for (int row = 0; row < files.rows(); ++row) {
            rows.files.push_back(file_at(files, row));
        }

        // By the files' ids: the index on source_file, where a join by folder would have the
        // planner scan every programming result.
        static const std::string results_sql =
            "SELECT source_file, slot, qr, outcome FROM program_results WHERE source_file = "
            "ANY($1::bigint[]) ORDER BY source_file, id";
        std::string file_ids = "{";
        for (const stored_file& file : rows.files) {
            if (file.problem.empty()) {
                file_ids += (file_ids.size() > 1 ? "," : "") + std::to_string(file.id);
            }
        }
        const pq::result results = m_db.exec(results_sql.c_str(), {file_ids + "}"});
        for (int row = 0; row < results.rows(); ++row) {
            const int64_t file = results.integer(row, 0);
            if (rows.program_results.empty() || rows.program_results.back().file != file) {
                rows.program_results.push_back({file, {}});
            }
            rows.program_results.back().lines.push_back({static_cast<int>(results.integer(row, 1)),
                                                         std::string(results.text(row, 2)),
                                                         outcome_of(results.text(row, 3))});
        }

        // Records within a day of their folder's date first, so that the planner looks only
        // at those months; the index on source_file alone would have it look at every month.
        static const std::string near_sql =
            records_of + of_folder + " AND r.time >= $3::bigint AND r.time < $4::bigint";
        const int64_t from = folder_day ? (*folder_day - 1) * report::seconds_per_day
                                        : std::numeric_limits<int64_t>::min();
        const int64_t to = folder_day ? (*folder_day + 2) * report::seconds_per_day
                                      : std::numeric_limits<int64_t>::max();
        std::unordered_map<int64_t, size_t> record_at; // by id, in rows.records
        std::pair<int64_t, int64_t> span = {std::numeric_limits<int64_t>::max(),
                                            std::numeric_limits<int64_t>::min()};
        add_records(m_db.exec(near_sql.c_str(), {folder[0], folder[1], number(from), number(to)}),
                    rows.records, record_at, span);
        // A file still without rows may be a record stamped far from its folder's date.
        std::unordered_set<int64_t> read;
        for (const read_record& record : rows.records) {
            read.insert(record.file);
        }
        for (const read_program_result& result : rows.program_results) {
            read.insert(result.file);
        }
        std::string unread;
        for (const stored_file& file : rows.files) {
            if (file.problem.empty() && read.count(file.id) == 0) {
                unread += (unread.empty() ? "{" : ",") + std::to_string(file.id);
            }
        }
        if (!unread.empty()) {
            static const std::string by_id_sql = records_of + " r.source_file = ANY($1::bigint[])";
            add_records(m_db.exec(by_id_sql.c_str(), {unread + "}"}), rows.records, record_at,
                        span);
        }
        if (!rows.records.empty()) {
            std::string ids = "{";
            for (const auto& [id, at] : record_at) {
                ids += (ids.size() > 1 ? "," : "") + std::to_string(id);
            }
            add_lines(m_db.exec(lines_of_records.c_str(),
                                {ids + "}", number(span.first), number(span.second)}),
                      rows.records, record_at);
        }
        order_by_file(rows.records, rows.files);
        order_by_file(rows.program_results, rows.files);
    }

    // Sends every row waiting, inside the transaction. Reads call it first; an id the caller
    // holds came from files_in, so the rows of a file replaced or touched are on the server.
    void flush() {
        copy(m_files, "COPY source_files (id, station, root, path, folder_day, size, mtime, hash, "
                      "problem, ingested_at) FROM STDIN");
        copy(m_records, "COPY test_records (id, station, source_file, time, qr, slot, result, "
                        "cycle) FROM STDIN");
        copy(m_measurements, "COPY measurements (record, time, position, slot, name, value, unit, "
                             "low, high, pass) FROM STDIN");
        copy(m_results,
             "COPY program_results (station, source_file, cycle, slot, qr, outcome) FROM STDIN");
    }

    void copy(copy_rows& rows, const char* sql) {
        if (rows.size() != 0) {
            m_db.copy_in(sql, rows.take());
        }
    }

    pq::connection m_db;
    bool m_in_transaction = false;
    id_pool m_file_ids{"source_files_id_seq"};
    id_pool m_record_ids{"test_records_id"};
    copy_rows m_files;
    copy_rows m_records;
    copy_rows m_measurements;
    copy_rows m_results;
    std::set<int> m_months;     // year * 12 + month - 1, known to exist
    std::set<int> m_new_months; // made by the open transaction
};

} // namespace

std::unique_ptr<store> open_postgres_store(const std::string& conninfo) {
    return std::make_unique<postgres_store>(conninfo);
}

} // namespace db
