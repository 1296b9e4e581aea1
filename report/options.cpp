#include "options.h"

#include "utf8_text.h"

#include <algorithm>

namespace report {
namespace fs = std::filesystem;
namespace {

// The folder above the xlog.data folder names the station.
std::string default_name(const fs::path& root) {
    std::error_code error;
    fs::path full = fs::absolute(root, error).lexically_normal();
    if (!full.has_filename()) {
        full = full.parent_path();
    }
    const std::u8string name = full.parent_path().filename().u8string();
    const std::u8string fallback = root.u8string();
    const std::u8string& chosen = name.empty() ? fallback : name;
    return std::string(chosen.begin(), chosen.end());
}

bool same_folder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::absolute(a, error).lexically_normal() == fs::absolute(b, error).lexically_normal() ||
           fs::equivalent(a, b, error);
}

} // namespace

void add_station_root(std::vector<station_roots>& stations, const std::optional<std::string>& name,
                      const fs::path& root) {
    const std::string chosen = name ? *name : default_name(root);
    const auto station = std::find_if(stations.begin(), stations.end(),
                                      [&](const station_roots& s) { return s.name == chosen; });
    if (station == stations.end()) {
        stations.push_back({chosen, {root}});
    } else if (std::none_of(station->roots.begin(), station->roots.end(),
                            [&](const fs::path& known) { return same_folder(known, root); })) {
        station->roots.push_back(root);
    }
}

bool roots_exist(const std::vector<station_roots>& stations, const char* program, std::FILE* err) {
    bool all = true;
    for (const station_roots& station : stations) {
        for (const fs::path& root : station.roots) {
            std::error_code error;
            if (!fs::is_directory(root, error)) {
                std::fprintf(err, "%s: %s: %s\n", program, shown_path(root).c_str(),
                             fs::exists(root, error) ? "not a folder"
                                                     : "no such folder (give xlog.data folders)");
                all = false;
            }
        }
    }
    return all;
}

fs::path utf8_path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string shown_path(const fs::path& path) {
    const std::u8string text = path.u8string();
    return well_formed_utf8(std::string(text.begin(), text.end()));
}

std::optional<report_options> parse_options(const std::vector<std::string>& arguments,
                                            std::string& problem) {
    report_options options;
    std::optional<std::string> next_name;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takes_value = argument == "--from" || argument == "--to" ||
                                 argument == "--out" || argument == "--name" || argument == "--db";
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        }
        if (takes_value && i + 1 >= arguments.size()) {
            problem = argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--from" || argument == "--to") {
            const auto day = parse_iso_date(arguments[++i]);
            if (!day) {
                problem = argument + " wants a date as YYYY-MM-DD, not \"" + arguments[i] + "\"";
                return std::nullopt;
            }
            (argument == "--from" ? options.days.from_day : options.days.to_day) = day;
        } else if (argument == "--out") {
            options.out = utf8_path(arguments[++i]);
        } else if (argument == "--db") {
            options.database = arguments[++i];
        } else if (argument == "--name") {
            next_name = arguments[++i];
            options.names.push_back(*next_name);
        } else if (argument.starts_with("--")) {
            problem = "unknown option " + argument;
            return std::nullopt;
        } else {
            add_station_root(options.stations, next_name, utf8_path(argument));
            next_name.reset();
        }
    }
    if (!options.database.empty() && !options.stations.empty()) {
        problem = "give ROOTs or --db, not both";
        return std::nullopt;
    }
    if (options.database.empty() && options.stations.empty()) {
        problem = "no ROOT given";
        return std::nullopt;
    }
    if (options.days.from_day && options.days.to_day &&
        *options.days.from_day > *options.days.to_day) {
        problem = "--from is after --to";
        return std::nullopt;
    }
    return options;
}

} // namespace report
