// qeldb over a generated line of four stations (1,000,000 records unless sizes are given):
//  - ingest, each time into an empty database, against loading the same rows from CSV files
//    into tables made by the same migrations: in SQLite one transaction of prepared inserts,
//    in PostgreSQL COPY FROM into the month partitions made beforehand;
//  - the database's size, and what a year of a line of 20 stations would take;
//  - ingest of the unchanged tree again against listing it with a stat of every entry;
//  - `qeldb board` for one QR code, the whole process and the query alone;
//  - `qelreport --db` against qelreport reading the files.
// Each for SQLite, then for PostgreSQL on a server of the bench's own (db/testing: nothing
// flushed to disk). Each timed side is a child process (see child_runs.h); the files are read
// once before, so every side finds them in the page cache.
//   qeldb_bench [RECORDS ...]
#include "child_runs.h"
#include "database_source.h"
#include "generated_line.h"
#include "postgres_server.h"
#include "pq_connection.h"
#include "qeldb_command.h"
#include "record_time.h"
#include "run_report.h"
#include "sqlite_handle.h"
#include "store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct table {
    const char* name;
    std::vector<const char*> columns;
};

// Every table ingest fills, in an order that keeps references valid.
const std::vector<table>& tables() {
    static const std::vector<table> all = {
        {"stations", {"id", "name"}},
        {"roots", {"id", "station", "path"}},
        {"source_files",
         {"id", "station", "root", "path", "folder_day", "size", "mtime", "hash", "problem",
          "ingested_at"}},
        {"test_records", {"id", "station", "source_file", "time", "qr", "slot", "result", "cycle"}},
        {"measurements",
         {"record", "time", "position", "slot", "name", "value", "unit", "low", "high", "pass"}},
        {"program_results", {"id", "station", "source_file", "cycle", "slot", "qr", "outcome"}},
    };
    return all;
}

std::string joined(const std::vector<const char*>& names, const char* between) {
    std::string text;
    for (const char* name : names) {
        text += (text.empty() ? "" : between);
        text += name;
    }
    return text;
}

// --- the CSV files: text quoted, numbers bare, NULL as an empty bare field -----------------

void write_csv(const std::string& database, const fs::path& folder) {
    db::sqlite_connection connection(database, false);
    for (const table& each : tables()) {
        const std::string sql = "SELECT " + joined(each.columns, ", ") + " FROM " + each.name;
        sqlite3_stmt* rows = nullptr;
        if (sqlite3_prepare_v2(connection.get(), sql.c_str(), -1, &rows, nullptr) != SQLITE_OK) {
            connection.fail(sql);
        }
        std::ofstream csv(folder / (std::string(each.name) + ".csv"), std::ios::binary);
        while (sqlite3_step(rows) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(rows); ++column) {
                csv << (column ? "," : "");
                switch (sqlite3_column_type(rows, column)) {
                case SQLITE_INTEGER:
                    csv << sqlite3_column_int64(rows, column);
                    break;
                case SQLITE_FLOAT: {
                    char number[32];
                    std::snprintf(number, sizeof number, "%.17g",
                                  sqlite3_column_double(rows, column));
                    csv << number;
                    break;
                }
                case SQLITE_TEXT: {
                    const std::string_view text(
                        reinterpret_cast<const char*>(sqlite3_column_text(rows, column)),
                        static_cast<size_t>(sqlite3_column_bytes(rows, column)));
                    csv << '"';
                    for (const char c : text) {
                        csv << (c == '"' ? "\"\"" : std::string_view(&c, 1));
                    }
                    csv << '"';
                    break;
                }
                default:
                    break;
                }
            }
            csv << '\n';
        }
        sqlite3_finalize(rows);
        if (!csv.flush()) {
            std::fprintf(stderr, "qeldb_bench: cannot write %s.csv\n", each.name);
            std::exit(1);
        }
    }
}

// Binds one CSV line's fields to `insert`; false at the end of the text.
bool bind_csv_line(std::string_view& text, db::sqlite_statement& insert, std::string& field) {
    if (text.empty()) {
        return false;
    }
    insert.reset();
    size_t at = 0;
    for (int index = 1;; ++index) {
        if (text[at] == '"') {
            field.clear();
            for (++at; !(text[at] == '"' && text[at + 1] != '"'); ++at) {
                field += text[at];
                at += text[at] == '"'; // a doubled quote
            }
            ++at;
            insert.bind_one(index, std::string_view(field));
        } else {
            const size_t end = text.find_first_of(",\n", at);
            const std::string_view bare = text.substr(at, end - at);
            at = end;
            if (bare.empty()) {
                insert.bind_one(index, nullptr);
            } else if (bare.find_first_of(".eEnN") == std::string_view::npos) {
                insert.bind_one(index,
                                static_cast<int64_t>(std::strtoll(bare.data(), nullptr, 10)));
            } else {
                insert.bind_one(index, std::strtod(std::string(bare).c_str(), nullptr));
            }
        }
        if (text[at++] == '\n') {
            text.remove_prefix(at);
            return true;
        }
    }
}

std::string csv_text(const fs::path& folder, const table& each) {
    std::ifstream csv(folder / (std::string(each.name) + ".csv"), std::ios::binary);
    return {std::istreambuf_iterator<char>(csv), {}};
}

// The SQLite baseline: the CSV files into a database whose tables are there and empty.
int load_sqlite(const std::string& database, const fs::path& folder) {
    db::sqlite_connection connection(database, false);
    connection.exec("PRAGMA synchronous=NORMAL; BEGIN IMMEDIATE");
    std::string field;
    for (const table& each : tables()) {
        const std::string content = csv_text(folder, each);
        std::string marks;
        for (size_t i = 0; i < each.columns.size(); ++i) {
            marks += i ? ", ?" : "?";
        }
        const std::string sql = std::string("INSERT INTO ") + each.name + " (" +
                                joined(each.columns, ", ") + ") VALUES (" + marks + ")";
        db::sqlite_statement insert(connection, sql.c_str());
        for (std::string_view text = content; bind_csv_line(text, insert, field);) {
            insert.run();
        }
    }
    connection.exec("COMMIT");
    return 0;
}

// The PostgreSQL baseline: COPY of each CSV file, in one transaction, into a database whose
// tables and month partitions are there and empty.
int load_postgres(const std::string& database, const fs::path& folder) {
    db::pq::connection connection(database);
    connection.exec("BEGIN");
    for (const table& each : tables()) {
        const std::string sql = std::string("COPY ") + each.name + " (" +
                                joined(each.columns, ", ") + ") FROM STDIN (FORMAT csv)";
        connection.copy_in(sql.c_str(), csv_text(folder, each));
    }
    connection.exec("COMMIT");
    return 0;
}

// The month partitions ingest makes as records come, for the records from `first` to `last`.
void add_months(const std::string& database, report::local_seconds first,
                report::local_seconds last) {
    db::pq::connection connection(database);
    report::civil_date month = report::civil_from_days(first / report::seconds_per_day);
    for (int64_t from = *report::day_number(month.year, month.month, 1) * report::seconds_per_day;
         from <= last;) {
        const report::civil_date next = month.month == 12
                                            ? report::civil_date{month.year + 1, 1, 1}
                                            : report::civil_date{month.year, month.month + 1, 1};
        const int64_t to = *report::day_number(next.year, next.month, 1) * report::seconds_per_day;
        for (const char* parent : {"test_records", "measurements"}) {
            char sql[256];
            std::snprintf(sql, sizeof sql,
                          "CREATE TABLE %s_y%04dm%02d PARTITION OF %s FOR VALUES FROM (%lld) TO "
                          "(%lld)",
                          parent, month.year, month.month, parent, static_cast<long long>(from),
                          static_cast<long long>(to));
            connection.exec(sql);
        }
        month = next;
        from = to;
    }
}

// --- listing: what any change detection must do at least -----------------------------------

void list_tree(int folder) {
    DIR* listing = fdopendir(folder);
    while (const dirent* entry = readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat status {};
        if (fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            const int inner = openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY);
            if (inner >= 0) {
                list_tree(inner);
            }
        }
    }
    closedir(listing);
}

int list_roots(const std::vector<std::string>& roots) {
    for (const std::string& root : roots) {
        const int folder = open(root.c_str(), O_RDONLY | O_DIRECTORY);
        if (folder < 0) {
            std::perror(root.c_str());
            return 1;
        }
        list_tree(folder);
    }
    return 0;
}

// --- the bench ------------------------------------------------------------------------------

int64_t single_value(const std::string& database, const std::string& sql) {
    if (db::is_postgres(database)) {
        return db::pq::connection(database).exec(sql.c_str()).integer(0, 0);
    }
    db::sqlite_connection connection(database, false);
    db::sqlite_statement query(connection, sql.c_str());
    return query.step() ? query.integer(0) : 0;
}

std::string single_text(const std::string& database, const std::string& sql) {
    db::sqlite_connection connection(database, false);
    db::sqlite_statement query(connection, sql.c_str());
    return query.step() ? std::string(query.text(0)) : std::string();
}

double rows_of(const std::string& database, const char* table) {
    return static_cast<double>(
        single_value(database, std::string("SELECT count(*) FROM ") + table));
}

// Every table of `loaded` holds as many rows as `ingested`'s: the baseline loads the same.
void check_same_rows(const std::string& ingested, const std::string& loaded) {
    for (const table& each : tables()) {
        if (rows_of(ingested, each.name) != rows_of(loaded, each.name)) {
            std::fprintf(stderr, "qeldb_bench: %s: the baseline loaded other rows\n", each.name);
            std::exit(1);
        }
    }
}

std::vector<std::string> with(std::vector<std::string> front,
                              const std::vector<std::string>& back) {
    front.insert(front.end(), back.begin(), back.end());
    return front;
}

// The query alone, in this process, on a store opened once.
double board_in_process(const std::string& database, const std::string& qr) {
    const auto store = db::open_store(database, false);
    double best = INFINITY;
    for (int run = 0; run < 10; ++run) {
        const auto start = Clock::now();
        const auto records = store->board(qr);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        if (records.empty()) {
            std::fprintf(stderr, "qeldb_bench: no record of %s\n", qr.c_str());
            std::exit(1);
        }
    }
    return best;
}

// What differs between the engines around the same measurements.
struct engine {
    const char* name;
    // Leaves the database `name` without tables; its path or conninfo.
    std::function<std::string(const std::string& name)> fresh;
    const char* baseline;
    const char* load_mode; // the child that loads the CSV files
    // Readies a baseline database after `qeldb init`, untimed.
    std::function<void(const std::string& database)> before_load;
    const char* size_sql; // the database's bytes
};

// What every engine is measured against, measured once.
struct line_figures {
    const char* self;
    bench::generated_line line{};
    int lines;
    fs::path csv;
    fs::path pages;
    std::vector<std::string> listing{};
    double list_seconds = 0;
    double files_report_seconds = 0;
    std::string qr{};
};

std::vector<std::string> ingest_of(const std::string& database, const line_figures& line) {
    return with({"--qeldb", "ingest", "--db", database}, line.line.roots);
}

// The best of three ingests of the line, each into an empty database; that database.
std::pair<bench::child_run, std::string> first_ingest(const engine& on, const line_figures& line) {
    const std::string database = on.fresh("ingested");
    const bench::child_run run =
        bench::best_of(3, line.self, ingest_of(database, line), [&] { on.fresh("ingested"); });
    return {run, database};
}

void print_figures(const engine& on, const bench::child_run& first, const std::string& database,
                   const line_figures& line) {
    const std::string loaded = on.fresh("loaded");
    const bench::child_run load =
        bench::best_of(3, line.self, {on.load_mode, loaded, line.csv.string()}, [&] {
            on.fresh("loaded");
            bench::run_child(line.self, {"--qeldb", "init", "--db", loaded});
            if (on.before_load) {
                on.before_load(loaded);
            }
        });
    check_same_rows(database, loaded);
    on.fresh("loaded");
    const double records = rows_of(database, "test_records");
    const double rows = rows_of(database, "measurements");
    std::printf("%s, %.0f records, %.0f measurement rows:\n", on.name, records, rows);
    for (const auto& [what, seconds] : {std::pair<std::string, double>{"ingest:", first.seconds},
                                        {std::string(on.baseline) + " baseline:", load.seconds}}) {
        std::printf("  %-22s %7.2f s  %9.0f records/s  %9.0f rows/s\n", what.c_str(), seconds,
                    records / seconds, rows / seconds);
    }
    std::printf("  ratio ingest rate/baseline rate: %.2f (target at least 0.5)\n",
                load.seconds / first.seconds);
    const auto bytes = static_cast<double>(single_value(database, on.size_sql));
    std::printf("  size: %.1f MiB; a year of a 20-station line (2,000,000 records a station, %d "
                "judgement lines a record as here): about %.1f GiB\n",
                bytes / 1048576, line.lines, bytes / records * 40e6 / 1073741824);

    const bench::child_run again = bench::best_of(3, line.self, ingest_of(database, line));
    std::printf("  unchanged re-ingest: %.3f s, listing with a stat of every entry: %.3f s\n",
                again.seconds, line.list_seconds);
    std::printf("  ratio re-ingest/listing: %.2f (target at most 1.2)\n",
                again.seconds / line.list_seconds);

    const bench::child_run board =
        bench::best_of(10, line.self, {"--qeldb", "board", "--db", database, line.qr});
    std::printf("  qeldb board %s: %.1f ms the whole process (target under 10 ms), %.2f ms the "
                "query alone\n",
                line.qr.c_str(), board.seconds * 1000, board_in_process(database, line.qr) * 1000);

    const bench::child_run from_database = bench::best_of(
        3, line.self, {"--qelreport", "--db", database, "--out", line.pages.string()});
    std::printf("  qelreport --db: %.2f s, qelreport on the files: %.2f s\n", from_database.seconds,
                line.files_report_seconds);
    std::printf("  ratio --db/files: %.2f (target below 1.0)\n",
                from_database.seconds / line.files_report_seconds);
}

void measure(const char* self, uint64_t size, const fs::path& work,
             db::testing::postgres_server& server) {
    const fs::path out = work / ("line_" + std::to_string(size));
    line_figures line{.self = self, .lines = 5, .csv = out / "csv", .pages = out / "report"};
    line.line = bench::generate_records(out, size, line.lines);
    fs::create_directories(line.csv);
    line.listing = with({"--list"}, line.line.roots);
    bench::run_child(self, line.listing); // brings the files into the page cache

    const engine sqlite{"SQLite",
                        [&](const std::string& name) {
                            const std::string database = (out / (name + ".sqlite")).string();
                            for (const char* suffix : {"", "-wal", "-shm"}) {
                                fs::remove(database + suffix);
                            }
                            return database;
                        },
                        "CSV load",
                        "--load-sqlite",
                        nullptr,
                        "SELECT page_count * page_size FROM pragma_page_count(), "
                        "pragma_page_size()"};
    const auto [sqlite_first, sqlite_database] = first_ingest(sqlite, line);
    // The baselines' rows are the ones ingest stored, and the other figures' inputs too.
    write_csv(sqlite_database, line.csv);
    line.qr = single_text(sqlite_database,
                          "SELECT qr FROM test_records WHERE id >= (SELECT max(id) / 2 FROM "
                          "test_records) AND qr LIKE 'L1S%' LIMIT 1");
    const int64_t first_time = single_value(sqlite_database, "SELECT min(time) FROM test_records");
    const int64_t last_time = single_value(sqlite_database, "SELECT max(time) FROM test_records");
    line.list_seconds = bench::best_of(3, self, line.listing).seconds;
    line.files_report_seconds =
        bench::best_of(3, self,
                       with({"--qelreport", "--out", line.pages.string()}, line.line.roots))
            .seconds;
    print_figures(sqlite, sqlite_first, sqlite_database, line);

    const engine postgres{
        "PostgreSQL",
        [&](const std::string& name) {
            db::pq::connection admin(server.conninfo("postgres"));
            admin.exec("SET client_min_messages = warning"); // no notice of a database not there
            admin.exec(("DROP DATABASE IF EXISTS " + name).c_str());
            admin.exec(("CREATE DATABASE " + name).c_str());
            return server.conninfo(name);
        },
        "COPY FROM",
        "--load-postgres",
        [&](const std::string& database) { add_months(database, first_time, last_time); },
        "SELECT pg_database_size(current_database())"};
    const auto [postgres_first, postgres_database] = first_ingest(postgres, line);
    print_figures(postgres, postgres_first, postgres_database, line);
    fs::remove_all(out);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> rest(argv + std::min(argc, 2), argv + argc);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode.starts_with("--")) {
        FILE* quiet = std::fopen("/dev/null", "w");
        int status = 2;
        try {
            if (mode == "--qeldb") {
                status = db::run_qeldb(rest, quiet, stderr, false);
            } else if (mode == "--qelreport") {
                status = report::run_report(rest, quiet, stderr, false, db::open_database_source);
            } else if (mode == "--list") {
                status = list_roots(rest);
            } else if (mode == "--load-sqlite" && rest.size() == 2) {
                status = load_sqlite(rest[0], rest[1]);
            } else if (mode == "--load-postgres" && rest.size() == 2) {
                status = load_postgres(rest[0], rest[1]);
            }
        } catch (const db::store_error& error) {
            std::fprintf(stderr, "qeldb_bench: %s\n", error.what());
            status = 1;
        }
        bench::tell_peak();
        return status;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as it comes
    std::vector<uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {1000000};
    }
    const fs::path work = fs::absolute("build/qeldb_bench");
    fs::create_directories(work);
    try {
        // The server's cluster goes under the temporary folder: here, with the bench's files.
        setenv("TMPDIR", work.c_str(), 1);
        db::testing::postgres_server server;
        for (const uint64_t size : sizes) {
            measure(argv[0], size, work, server);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qeldb_bench: %s\n", error.what());
        return 1;
    }
    fs::remove_all(work);
    return 0;
}
