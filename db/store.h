#pragma once
// The line's database behind one small interface, for SQLite (a file) and PostgreSQL (a
// server). Ingest writes a station's files through it; the report and the board query read
// through it. The tables are described in schema.md.
#include "judgement_line.h"
#include "program_result.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// A file (or any entry) of a station's tree as the database holds it.
struct stored_file {
    int64_t id = 0;
    int64_t root = 0; // the root's id
    std::string path; // under the root, "/" between names, well-formed UTF-8
    int64_t size = 0;
    int64_t mtime = 0;   // nanoseconds since 1970, as the file system gives it
    uint64_t hash = 0;   // of the content; 0 for an entry that was not read
    std::string problem; // why it is no record; empty for a record
};

// What ingest stores of one file: the entry, and the rows parsed from it (none for an entry
// with a problem). The lines and results view text that lives only for the call.
struct file_content {
    int64_t station = 0;
    stored_file file;
    std::optional<int64_t> folder_day; // the date folder it is in; none at the top
    // A station record: its time, QR code and judgement lines (none: no result).
    bool is_record = false;
    int64_t time = 0; // the record's or the programming results' time, local seconds
    std::string qr;
    std::vector<report::judgement_line> lines;
    // A cycle's programming results.
    bool is_program_result = false;
    std::vector<report::program_line> results;
};

// A judgement line as stored, owning its text.
struct stored_line {
    int slot = 0;
    bool pass = false;
    std::string name;
    double value = 0; // NaN where the line had no number
    std::string unit;
    double low = 0;
    double high = 0;
};

// A station record as the report reads it back: the rows of one file.
struct read_record {
    int64_t file = 0;               // the source file's id
    std::vector<stored_line> lines; // in the order of the file
};

struct stored_result {
    int slot = 0;
    std::string qr;
    report::program_outcome outcome = report::program_outcome::programmed;
};

struct read_program_result {
    int64_t file = 0;
    std::vector<stored_result> lines;
};

// Every entry of a station's date folder (or of the tops of its roots), and their rows.
struct folder_rows {
    std::vector<stored_file> files; // by root position, then path
    std::vector<read_record> records;
    std::vector<read_program_result> program_results;
};

struct station_entry {
    int64_t id = 0;
    std::string name;
    std::vector<std::pair<int64_t, std::string>> roots; // id and path, in the order first seen
};

// What a date folder held when it was last stored whole: the fingerprint of its listing
// (names, sizes and times) and the counts of that pass, so that a day listed the same again
// needs none of its entries looked up.
struct folder_state {
    uint64_t fingerprint = 0;
    uint64_t entries = 0;  // met in that pass
    uint64_t unparsed = 0; // of those, no records
    uint64_t stored = 0;   // entries the database holds for the day, vanished ones too
};

// A record of a board, for `qeldb board`.
struct board_record {
    std::string station;
    int64_t time = 0;
    int slot = 0;            // 0 when the record names none
    std::string result;      // "pass", "fail" or "no result"
    std::string failed;      // failing measurements, ";" between
    std::string programming; // the slot's outcome in that cycle's results; "" for none
};

// Thrown for anything the database refuses: the message says what, in the engine's words.
struct store_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class store {
public:
    virtual ~store() = default;

    // Creates the tables or brings them to this version; returns the version found before
    // (0 for an empty database).
    virtual int migrate() = 0;

    // --- ingest -------------------------------------------------------------------------
    // Held from here to the end of the pass: one ingest at a time writes (another waits).
    virtual void lock_ingest() = 0;
    virtual int64_t station_id(std::string_view name) = 0; // created when new
    virtual int64_t root_id(int64_t station, std::string_view path) = 0;
    // A write transaction; what is stored between begin and commit lands whole or not at all.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // The entries stored for a station's date folder (none: the tops of its roots), by path
    // in byte order. An
    // entry is the station's by its path under a root, whichever root it was read from, so
    // that a share mounted elsewhere later is not stored twice.
    virtual std::vector<stored_file> files_in(int64_t station,
                                              std::optional<int64_t> folder_day) = 0;
    // Stores a file: `replaces` is the id of its earlier version (0 for a new file), whose
    // rows go.
    virtual void store_file(const file_content& content, int64_t replaces) = 0;
    // The file's content is unchanged; only its time moved.
    virtual void touch_file(int64_t id, int64_t mtime) = 0;
    // The states of a station's date folders, by day.
    virtual std::map<int64_t, folder_state> folder_states(int64_t station) = 0;
    virtual void set_folder_state(int64_t station, int64_t folder_day,
                                  const folder_state& state) = 0;
    // After a pass that stored `files` files: a large load leaves the planner's statistics
    // behind (a report right after it would plan its reads blind), so they are gathered now.
    virtual void after_ingest(uint64_t files) = 0;
    // How many entries the database holds for a station.
    virtual uint64_t files_of_station(int64_t station) = 0;

    // --- reading ------------------------------------------------------------------------
    virtual std::vector<station_entry> stations() = 0;
    // The date folders a station's entries are in, ascending.
    virtual std::vector<int64_t> folder_days(int64_t station) = 0;
    virtual void read_folder(int64_t station, std::optional<int64_t> folder_day,
                             folder_rows& rows) = 0;
    virtual std::vector<board_record> board(std::string_view qr) = 0;
};

// SQLite for a file path, PostgreSQL for "postgresql://..." or libpq's "key=value" form.
// `create` lets a SQLite file be made; to read, the database must be there.
std::unique_ptr<store> open_store(const std::string& database, bool create);
// Whether `database` names a PostgreSQL server rather than a file.
bool is_postgres(std::string_view database);

} // namespace db
