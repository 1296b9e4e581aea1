#include "run_report.h"

#include "csv_files.h"
#include "folder_source.h"
#include "options.h"
#include "progress_line.h"
#include "report_page.h"
#include "station_tally.h"
#include "summary_json.h"
#include "utf8_text.h"

#include <fstream>

namespace report {
namespace fs = std::filesystem;
namespace {

// Writes what `produce` hands to its sink into `path`; false, with a message, when the file
// cannot be written whole.
bool write_file(const fs::path& path, const std::function<void(const page_sink&)>& produce,
                std::FILE* err) {
    std::ofstream file(path, std::ios::binary);
    produce([&](std::string_view piece) {
        file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    });
    file.close();
    if (!file) {
        std::fprintf(err, "qelreport: cannot write %s\n", shown_path(path).c_str());
        return false;
    }
    return true;
}

} // namespace

int run_report(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
               bool terminal, const database_opener& open_database) {
    std::string problem;
    const auto options = parse_options(arguments, problem);
    if (!options || options->help) {
        if (!options) {
            std::fprintf(err, "qelreport: %s\n", problem.c_str());
        }
        std::fputs(usage, options ? out : err);
        return options ? 0 : 2;
    }
    // Every ROOT must be there before any work starts.
    if (!roots_exist(options->stations, "qelreport", err)) {
        return 1;
    }
    progress_line progress(err, terminal);
    std::unique_ptr<record_source> source;
    if (options->database.empty()) {
        source = std::make_unique<folder_source>(
            options->stations, [&](const fs::path& root, const std::string& text) {
                progress.done();
                std::fprintf(err, "qelreport: %s: %s\n", shown_path(root).c_str(), text.c_str());
            });
    } else if (!open_database) {
        std::fprintf(err, "qelreport: this qelreport reads no database; give ROOTs\n");
        return 2;
    } else if (!(source = open_database(options->database, options->names, problem))) {
        std::fprintf(err, "qelreport: %s\n", problem.c_str());
        return 1;
    }
    std::error_code error;
    fs::create_directories(options->out, error);
    boards_csv boards(options->out / "boards.csv");
    if (error || !boards.good()) {
        std::fprintf(err, "qelreport: cannot write to %s\n", shown_path(options->out).c_str());
        return 1;
    }

    report_data report;
    report.days = options->days;
    for (size_t i = 0; i < source->stations().size(); ++i) {
        const source_station& station = source->stations()[i];
        station_tally tally(
            station.name, station.roots,
            [&](const std::string& name, const record_row& row) { boards.add(name, row); });
        const bool read = source->read_station(
            i, options->days, tally, [&](uint64_t files) { progress.show(station.name, files); },
            problem);
        progress.done();
        if (!read) {
            std::fprintf(err, "qelreport: %s: %s\n", well_formed_utf8(station.name).c_str(),
                         problem.c_str());
            return 1;
        }
        report.stations.push_back(tally.finish());
        const station_report& done = report.stations.back();
        std::fprintf(out, "qelreport: %s: %llu records, %llu files not readable as records\n",
                     well_formed_utf8(done.name).c_str(),
                     static_cast<unsigned long long>(done.records),
                     static_cast<unsigned long long>(done.unparsed));
    }
    if (!boards.close()) {
        std::fprintf(err, "qelreport: cannot write %s\n",
                     shown_path(options->out / "boards.csv").c_str());
        return 1;
    }
    const auto whole = [](std::string text) {
        return [text = std::move(text)](const page_sink& write) { write(text); };
    };
    if (!write_file(options->out / "summary.json", whole(summary_json(report)), err) ||
        !write_file(options->out / "measurements.csv", whole(measurements_csv(report)), err) ||
        !write_file(
            options->out / "report.html",
            [&](const page_sink& write) { write_report_page(report, write); }, err)) {
        return 1;
    }
    std::fprintf(out, "qelreport: report written to %s\n",
                 shown_path(fs::absolute(options->out / "report.html", error)).c_str());
    return 0;
}

} // namespace report
