#include "qeldb_command.h"

#include "board_output.h"
#include "ingest.h"
#include "options.h"
#include "progress_line.h"
#include "schema.h"
#include "stop_signals.h"
#include "store.h"
#include "utf8_text.h"

#include <charconv>
#include <optional>

namespace db {
namespace fs = std::filesystem;
namespace {

constexpr const char* usage =
    "usage: qeldb ingest --db DB [--watch SECONDS] [--name NAME] ROOT...\n"
    "       qeldb board --db DB [--json] QR\n"
    "       qeldb init --db DB\n"
    "       qeldb --version\n"
    "  DB      a SQLite file (made when new), or a PostgreSQL server as \"postgresql://...\"\n"
    "          or \"host=... dbname=...\"\n"
    "  ROOT    a station's xlog.data folder; the station is named after the folder above it,\n"
    "          or by the --name given before the ROOT\n"
    "  --watch ingest again every SECONDS until Ctrl-C or SIGTERM\n"
    "  --json  the board's records as JSON\n";

// Unparsed files named per station and pass; the rest are counted.
constexpr uint64_t unparsed_shown = 20;

struct command_line {
    std::string command;
    std::string database;
    std::vector<report::station_roots> stations;
    std::optional<int> watch;
    bool json = false;
    std::string qr;
};

std::optional<command_line> parse(const std::vector<std::string>& arguments, std::string& problem) {
    command_line line;
    std::optional<std::string> next_name;
    std::vector<std::string> rest;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takes_value =
            argument == "--db" || argument == "--name" || argument == "--watch";
        if (takes_value && i + 1 >= arguments.size()) {
            problem = argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--db") {
            line.database = arguments[++i];
        } else if (argument == "--name") {
            next_name = arguments[++i];
        } else if (argument == "--watch") {
            int seconds = 0;
            const std::string& value = arguments[++i];
            const auto read = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (read.ec != std::errc() || read.ptr != value.data() + value.size() || seconds < 1) {
                problem = "--watch wants a number of seconds, not \"" + value + "\"";
                return std::nullopt;
            }
            line.watch = seconds;
        } else if (argument == "--json") {
            line.json = true;
        } else if (argument.starts_with("--")) {
            problem = "unknown option " + argument;
            return std::nullopt;
        } else if (arguments[0] == "ingest") {
            report::add_station_root(line.stations, next_name, report::utf8_path(argument));
            next_name.reset();
        } else {
            rest.push_back(argument);
        }
    }
    line.command = arguments[0];
    if (line.database.empty()) {
        problem = "no --db given";
    } else if (line.command == "ingest" && line.stations.empty()) {
        problem = "no ROOT given";
    } else if (line.command == "board" && rest.size() != 1) {
        problem = "board wants one QR code";
    } else if (line.command == "init" && !rest.empty()) {
        problem = "init takes no " + rest.front();
    } else if (line.command != "ingest" && (line.watch || !line.stations.empty())) {
        problem = "--watch and ROOTs are for ingest";
    } else if (line.command != "board" && line.json) {
        problem = "--json is for board";
    }
    if (!problem.empty()) {
        return std::nullopt;
    }
    if (!rest.empty()) {
        line.qr = rest.front();
    }
    return line;
}

// One pass over every station; false when a stop came.
bool ingest_pass(store& database, const command_line& line, stop_signals& stop, std::FILE* out,
                 std::FILE* err, bool terminal) {
    report::progress_line progress(err, terminal);
    uint64_t stored = 0;
    for (const report::station_roots& station : line.stations) {
        const std::string name = report::well_formed_utf8(station.name);
        ingest_counts counts;
        uint64_t shown = 0;
        ingest_events events;
        events.progress = [&](uint64_t files) { progress.show(station.name, files); };
        events.problem = [&](const std::string& problem) {
            progress.done();
            std::fprintf(err, "qeldb: %s: %s\n", name.c_str(), problem.c_str());
        };
        events.unparsed = [&](const std::string& file, const std::string& reason) {
            if (shown++ < unparsed_shown) {
                progress.done();
                std::fprintf(out, "qeldb: %s: %s: %s\n", name.c_str(), file.c_str(),
                             reason.c_str());
            }
        };
        events.stop = [&] { return stop.pending(); };
        const bool whole = ingest_station(database, station, counts, events);
        progress.done();
        std::fprintf(out,
                     "qeldb: %s: %llu new, %llu changed, %llu unchanged, %llu unparsed, %llu "
                     "vanished%s\n",
                     name.c_str(), static_cast<unsigned long long>(counts.added),
                     static_cast<unsigned long long>(counts.changed),
                     static_cast<unsigned long long>(counts.unchanged),
                     static_cast<unsigned long long>(counts.unparsed),
                     static_cast<unsigned long long>(counts.vanished),
                     whole ? "" : " (stopped; the rest on the next ingest)");
        std::fflush(out);
        stored += counts.added + counts.changed;
        if (!whole) {
            database.after_ingest(stored);
            return false;
        }
    }
    database.after_ingest(stored);
    return true;
}

int ingest(store& database, const command_line& line, std::FILE* out, std::FILE* err,
           bool terminal) {
    stop_signals stop;
    database.lock_ingest();
    while (ingest_pass(database, line, stop, out, err, terminal) && line.watch &&
           !stop.wait(std::chrono::seconds(*line.watch))) {
    }
    return 0;
}

} // namespace

int run_qeldb(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
              bool terminal) {
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::fprintf(out, "qeldb %s\n", QEL_VERSION);
        return 0;
    }
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(usage, arguments.empty() ? err : out);
        return arguments.empty() ? 2 : 0;
    }
    std::string problem;
    if (arguments[0] != "ingest" && arguments[0] != "board" && arguments[0] != "init") {
        problem = "unknown command " + arguments[0];
    }
    const auto line = problem.empty() ? parse(arguments, problem) : std::nullopt;
    if (!line) {
        std::fprintf(err, "qeldb: %s\n", problem.c_str());
        std::fputs(usage, err);
        return 2;
    }
    if (!report::roots_exist(line->stations, "qeldb", err)) {
        return 1;
    }
    try {
        const auto database = open_store(line->database, line->command != "board");
        if (line->command != "board") {
            const int before = database->migrate();
            if (line->command == "init") {
                std::fprintf(out, "qeldb: the database has tables of version %d (was %d)\n",
                             schema_version, before);
            }
        }
        if (line->command == "ingest") {
            return ingest(*database, *line, out, err, terminal);
        }
        if (line->command == "board") {
            const auto records = database->board(line->qr);
            std::fputs((line->json ? board_json : board_text)(line->qr, records).c_str(), out);
        }
        return 0;
    } catch (const store_error& error) {
        std::fprintf(err, "qeldb: %s\n", error.what());
        return 1;
    }
}

} // namespace db
