// qeldb over a generated line of four stations (1,000,000 records unless sizes are given):
//  - ingest into SQLite against loading the same rows from CSV files with one transaction of
//    prepared inserts into tables made by the same migrations;
//  - ingest of the unchanged tree again against listing it with a stat of every entry;
//  - `qeldb board` for one QR code, the whole process and the query alone;
//  - `qelreport --db` against qelreport reading the files;
//  - with PostgreSQL: its ingest against COPY of the same CSV files, and its size on disk.
// Each timed side is a child process (see child_runs.h); the files are read once before, so
// every side finds them in the page cache.
//   qeldb_bench [RECORDS ...]
#include "child_runs.h"
#include "database_source.h"
#include "generated_line.h"
#include "qeldb_command.h"
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
#include <iterator>
#include <string>
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

// The SQLite baseline: the CSV files into a database whose tables are there and empty.
int load_sqlite(const std::string& database, const fs::path& folder) {
    db::sqlite_connection connection(database, false);
    connection.exec("PRAGMA synchronous=NORMAL; BEGIN IMMEDIATE");
    std::string field;
    for (const table& each : tables()) {
        std::ifstream csv(folder / (std::string(each.name) + ".csv"), std::ios::binary);
        const std::string content{std::istreambuf_iterator<char>(csv), {}};
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
    db::sqlite_connection connection(database, false);
    db::sqlite_statement query(connection, sql.c_str());
    return query.step() ? query.integer(0) : 0;
}

std::string single_text(const std::string& database, const std::string& sql) {
    db::sqlite_connection connection(database, false);
    db::sqlite_statement query(connection, sql.c_str());
    return query.step() ? std::string(query.text(0)) : std::string();
}

void remove_sqlite(const std::string& database) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        fs::remove(database + suffix);
    }
}

// Every table of `loaded` holds as many rows as `ingested`'s: the baseline loads the same.
void check_same_rows(const std::string& ingested, const std::string& loaded) {
    for (const table& each : tables()) {
        const std::string count = std::string("SELECT count(*) FROM ") + each.name;
        if (single_value(ingested, count) != single_value(loaded, count)) {
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

void measure(const char* self, uint64_t size, const fs::path& work) {
    const fs::path out = work / ("line_" + std::to_string(size));
    const bench::generated_line line = bench::generate_records(out, size, 5);
    const std::string database = (out / "ingest.sqlite").string();
    const std::string loaded = (out / "baseline.sqlite").string();
    const fs::path csv = out / "csv";
    fs::create_directories(csv);

    const auto listing = with({"--list"}, line.roots);
    bench::run_child(self, listing); // brings the files into the page cache
    const auto ingest = with({"--qeldb", "ingest", "--db", database}, line.roots);
    const bench::child_run first =
        bench::best_of(3, self, ingest, [&] { remove_sqlite(database); });
    write_csv(database, csv);
    const bench::child_run load =
        bench::best_of(3, self, {"--load-sqlite", loaded, csv.string()}, [&] {
            remove_sqlite(loaded);
            bench::run_child(self, {"--qeldb", "init", "--db", loaded});
        });
    check_same_rows(database, loaded);
    const auto records = static_cast<double>(single_value(database, "SELECT count(*) FROM "
                                                                    "test_records"));
    const auto rows = static_cast<double>(single_value(database, "SELECT count(*) FROM "
                                                                 "measurements"));
    std::printf("SQLite, %.0f records, %.0f measurement rows:\n", records, rows);
    std::printf("  ingest:            %7.2f s  %9.0f records/s  %9.0f rows/s\n", first.seconds,
                records / first.seconds, rows / first.seconds);
    std::printf("  CSV load baseline: %7.2f s  %9.0f records/s  %9.0f rows/s\n", load.seconds,
                records / load.seconds, rows / load.seconds);
    std::printf("  ratio ingest rate/baseline rate: %.2f (target at least 0.5)\n",
                load.seconds / first.seconds);
    std::printf("  the file: %.1f MiB\n", static_cast<double>(fs::file_size(database)) / 1048576);

    const bench::child_run again = bench::best_of(3, self, ingest);
    const bench::child_run list = bench::best_of(3, self, listing);
    std::printf("  unchanged re-ingest: %.3f s, listing with a stat of every entry: %.3f s\n",
                again.seconds, list.seconds);
    std::printf("  ratio re-ingest/listing: %.2f (target at most 1.2)\n",
                again.seconds / list.seconds);

    const std::string qr = single_text(
        database, "SELECT qr FROM test_records WHERE id >= (SELECT max(id) / 2 FROM test_records) "
                  "AND qr LIKE 'L1S%' LIMIT 1");
    const bench::child_run board =
        bench::best_of(10, self, {"--qeldb", "board", "--db", database, qr});
    std::printf("  qeldb board %s: %.1f ms the whole process (target under 10 ms), %.2f ms the "
                "query alone\n",
                qr.c_str(), board.seconds * 1000, board_in_process(database, qr) * 1000);

    const std::string pages = (out / "report").string();
    const bench::child_run from_database =
        bench::best_of(3, self, {"--qelreport", "--db", database, "--out", pages});
    const bench::child_run from_files =
        bench::best_of(3, self, with({"--qelreport", "--out", pages}, line.roots));
    std::printf("  qelreport --db: %.2f s, qelreport on the files: %.2f s\n", from_database.seconds,
                from_files.seconds);
    std::printf("  ratio --db/files: %.2f (target below 1.0)\n",
                from_database.seconds / from_files.seconds);
    std::printf("PostgreSQL: this qeldb has no PostgreSQL engine; its ingest, COPY baseline and "
                "size are not measured\n");
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
    for (const uint64_t size : sizes) {
        measure(argv[0], size, work);
    }
    fs::remove_all(work);
    return 0;
}
