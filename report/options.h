#pragma once
// qelreport's command line.
#include "period.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace report {

inline constexpr const char* usage =
    "usage: qelreport [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--out DIR] [--name NAME] ROOT...\n"
    "       qelreport --db DB [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--out DIR] [--name NAME]...\n"
    "  ROOT    a station's xlog.data folder; the station is named after the folder above it,\n"
    "          or by the --name given before the ROOT; ROOTs of one name are one station\n"
    "  --from, --to  the first and last day to report (both included; open when not given)\n"
    "  --db    the line's database (a SQLite file or a PostgreSQL connection string) instead\n"
    "          of ROOTs; --name picks stations (all when none is given)\n"
    "  --out   where report.html, summary.json, measurements.csv and boards.csv go\n"
    "          (default ./qel-report)\n";

// A station and its roots (records moved from one drive to another), in the order given.
struct station_roots {
    std::string name;
    std::vector<std::filesystem::path> roots;
};

struct report_options {
    period days;
    std::filesystem::path out = "qel-report";
    std::vector<station_roots> stations;
    std::string database;           // read the records from it rather than from ROOTs
    std::vector<std::string> names; // the database's stations to report; all when empty
    bool help = false;
};

// The options, or nullopt with `problem` saying what is wrong. ROOTs given under one name
// are that station's; a ROOT given twice is read once.
std::optional<report_options> parse_options(const std::vector<std::string>& arguments,
                                            std::string& problem);

// Adds `root` to the station `name` (by default the folder above the root), once.
void add_station_root(std::vector<station_roots>& stations, const std::optional<std::string>& name,
                      const std::filesystem::path& root);

// Whether every ROOT of `stations` is a folder; each one that is not is named on `err` after
// "`program`: ".
bool roots_exist(const std::vector<station_roots>& stations, const char* program, std::FILE* err);

// A path from UTF-8 text.
std::filesystem::path utf8_path(const std::string& text);
// A path as well-formed UTF-8, for a message or a page.
std::string shown_path(const std::filesystem::path& path);

} // namespace report
