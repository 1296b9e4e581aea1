// qelreport over generated lines of 100,000 and 1,000,000 station records of five judgement
// lines and of 50,000 records of 300 lines (an ICT program measures hundreds), against a
// baseline that only lists the same folders and reads every file with the same calls. Each
// side runs as a child process of its own, so its peak memory is its own. The files are
// read once before the timed runs, so both sides find them in the page cache; each side's
// best of three runs counts.
//   report_bench [RECORDS[xLINES] ...]
#include "child_runs.h"
#include "folder_listing.h"
#include "generated_line.h"
#include "platform.h"
#include "run_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Lists qel_data and its folders and reads every file: what any report must do.
int read_only(const std::vector<std::string>& roots) {
    std::vector<report::folder_entry> days, files;
    report::record_reader reader;
    std::string problem;
    uint64_t count = 0, bytes = 0;
    for (const std::string& root : roots) {
        const fs::path data = fs::path(root) / "qel_data";
        report::list_folder(data, days, problem);
        for (const auto& day : days) {
            report::list_folder(data / day.name, files, problem);
            for (const auto& file : files) {
                const auto text = reader.read(data / day.name, file, problem);
                count += 1;
                bytes += text ? text->size() : 0;
            }
        }
    }
    std::fprintf(stderr, "baseline: %llu files, %llu bytes\n",
                 static_cast<unsigned long long>(count), static_cast<unsigned long long>(bytes));
    return 0;
}

struct bench_size {
    uint64_t records = 0;
    int lines = 5; // judgement lines a record
};

void measure(const char* self, const bench_size& size, const fs::path& work) {
    const fs::path out =
        work / ("line_" + std::to_string(size.records) + "x" + std::to_string(size.lines));
    const bench::generated_line line = bench::generate_records(out, size.records, size.lines);
    const std::vector<std::string>& roots = line.roots;
    const uint64_t records = line.records;
    std::vector<std::string> baseline = {"--read-only"};
    baseline.insert(baseline.end(), roots.begin(), roots.end());
    std::vector<std::string> report = {"--report", "--out", (out / "report").string()};
    report.insert(report.end(), roots.begin(), roots.end());

    bench::run_child(self, baseline); // brings the files into the page cache
    const bench::child_run read = bench::best_of(3, self, baseline);
    const bench::child_run full = bench::best_of(3, self, report);
    const double rate = records / full.seconds;
    std::printf("  listing+reading: %6.2f s  %9.0f records/s  peak %6.1f MiB\n", read.seconds,
                records / read.seconds, read.peak_mib);
    std::printf("  qelreport:       %6.2f s  %9.0f records/s  peak %6.1f MiB\n", full.seconds, rate,
                full.peak_mib);
    // Records of hundreds of lines are mostly parsing and figures, not file calls.
    std::printf("  ratio qelreport/baseline: time %.2f (target at most %.1f), memory %.2f\n",
                full.seconds / read.seconds, size.lines > 5 ? 3.0 : 1.3,
                full.peak_mib / read.peak_mib);
    if (size.records >= 1000000) {
        std::printf("  qelreport's peak memory: %.1f MiB (target under 32 MiB)\n", full.peak_mib);
    }
    if (size.lines == 5) {
        std::printf("  a year of a four-station line (2,000,000 records) at this rate: %.0f s\n",
                    2e6 / rate);
    }
    fs::remove_all(out);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> rest(argv + std::min(argc, 2), argv + argc);
    if (argc > 1 && std::string(argv[1]) == "--read-only") {
        const int status = read_only(rest);
        bench::tell_peak();
        return status;
    }
    if (argc > 1 && std::string(argv[1]) == "--report") {
        FILE* quiet = std::fopen("/dev/null", "w");
        const int status = report::run_report(rest, quiet, stderr, false);
        bench::tell_peak();
        return status;
    }
    std::vector<bench_size> sizes;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        bench_size size{std::strtoull(argv[i], &end, 10)};
        if (*end == 'x') {
            size.lines = std::atoi(end + 1);
        }
        sizes.push_back(size);
    }
    if (sizes.empty()) {
        sizes = {{100000}, {1000000}, {50000, 300}};
    }
    const fs::path work = fs::absolute("build/report_bench");
    fs::create_directories(work);
    for (const bench_size& size : sizes) {
        measure(argv[0], size, work);
    }
    fs::remove_all(work);
    return 0;
}
