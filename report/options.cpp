#include "options.h"

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

void make_names_unique(std::vector<station_root>& stations) {
    for (size_t i = 0; i < stations.size(); ++i) {
        const std::string base = stations[i].name;
        for (int n = 2;
             std::any_of(stations.begin(), stations.begin() + static_cast<long>(i),
                         [&](const station_root& s) { return s.name == stations[i].name; });
             ++n) {
            stations[i].name = base + " (" + std::to_string(n) + ")";
        }
    }
}

} // namespace

fs::path utf8_path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::optional<report_options> parse_options(const std::vector<std::string>& arguments,
                                            std::string& problem) {
    report_options options;
    std::optional<std::string> next_name;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takes_value = argument == "--from" || argument == "--to" ||
                                 argument == "--out" || argument == "--name";
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
        } else if (argument == "--name") {
            next_name = arguments[++i];
        } else if (argument.starts_with("--")) {
            problem = "unknown option " + argument;
            return std::nullopt;
        } else {
            const fs::path root = utf8_path(argument);
            options.stations.push_back({root, next_name ? *next_name : default_name(root)});
            next_name.reset();
        }
    }
    if (options.stations.empty()) {
        problem = "no ROOT given";
        return std::nullopt;
    }
    if (options.days.from_day && options.days.to_day &&
        *options.days.from_day > *options.days.to_day) {
        problem = "--from is after --to";
        return std::nullopt;
    }
    make_names_unique(options.stations);
    return options;
}

} // namespace report
