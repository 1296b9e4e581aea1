#pragma once
// qelreport's command line.
#include "period.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace report {

inline constexpr const char* usage =
    "usage: qelreport [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--out DIR] [--name NAME] ROOT...\n"
    "  ROOT    a station's xlog.data folder; the station is named after the folder above it,\n"
    "          or by the --name given before the ROOT\n"
    "  --from, --to  the first and last day to report (both included; open when not given)\n"
    "  --out   where report.html, summary.json, measurements.csv and boards.csv go\n"
    "          (default ./qel-report)\n";

struct station_root {
    std::filesystem::path root;
    std::string name;
};

struct report_options {
    period days;
    std::filesystem::path out = "qel-report";
    std::vector<station_root> stations;
    bool help = false;
};

// The options, or nullopt with `problem` saying what is wrong. Station names are unique:
// a name given twice gets " (2)", " (3)"... after it.
std::optional<report_options> parse_options(const std::vector<std::string>& arguments,
                                            std::string& problem);

// A path from UTF-8 text.
std::filesystem::path utf8_path(const std::string& text);

} // namespace report
