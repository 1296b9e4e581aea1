// qelreport over generated lines of 100,000 and 1,000,000 station records, against a
// baseline that only lists the same folders and reads every file with the same calls. Each
// side runs as a child process of its own, so its peak memory is its own. The files are
// read once before the timed runs, so both sides find them in the page cache.
#include "folder_listing.h"
#include "line_generator.h"
#include "platform.h"
#include "run_report.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Lists qel_data and its folders and reads every file: what any report must do.
int read_only(const std::vector<std::string>& roots) {
    std::vector<report::folder_entry> days, files;
    std::vector<char> buffer;
    std::string problem;
    uint64_t count = 0, bytes = 0;
    for (const std::string& root : roots) {
        const fs::path data = fs::path(root) / "qel_data";
        report::list_folder(data, days, problem);
        for (const auto& day : days) {
            report::list_folder(data / day.name, files, problem);
            for (const auto& file : files) {
                const auto text =
                    report::read_listed_file(data / day.name / file.name, file, buffer, problem);
                count += 1;
                bytes += text ? text->size() : 0;
            }
        }
    }
    std::fprintf(stderr, "baseline: %llu files, %llu bytes\n",
                 static_cast<unsigned long long>(count), static_cast<unsigned long long>(bytes));
    return 0;
}

struct child_run {
    double seconds = 0;
    double peak_mib = 0;
};

child_run run_child(const char* self, const std::vector<std::string>& arguments) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv = {const_cast<char*>(self)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv(self, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "report_bench: %s failed\n", arguments[0].c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(), usage.ru_maxrss / 1024.0};
}

void measure(const char* self, uint64_t target, const fs::path& work) {
    generator::line_plan plan;
    plan.out = work / ("line_" + std::to_string(target));
    fs::remove_all(plan.out);
    const uint64_t cycles = target / 16; // four stations, four boards a cycle
    plan.days = static_cast<int>(std::max<uint64_t>(1, cycles / 500));
    plan.cycles_per_day = static_cast<int>(cycles / static_cast<uint64_t>(plan.days));
    const auto generating = Clock::now();
    const generator::line_truth truth = generator::generate_line(plan);
    uint64_t records = 0;
    for (const auto& station : truth.stations) {
        records += station.records;
    }
    std::printf("%llu records generated in %.0f s (%d days of %d cycles, 4 stations)\n",
                static_cast<unsigned long long>(records),
                std::chrono::duration<double>(Clock::now() - generating).count(), plan.days,
                plan.cycles_per_day);

    std::vector<std::string> roots;
    for (int i = 1; i <= plan.stations; ++i) {
        roots.push_back((plan.out / ("ST" + std::to_string(i)) / "xlog.data").string());
    }
    std::vector<std::string> baseline = {"--read-only"};
    baseline.insert(baseline.end(), roots.begin(), roots.end());
    std::vector<std::string> report = {"--report", "--out", (plan.out / "report").string()};
    report.insert(report.end(), roots.begin(), roots.end());

    run_child(self, baseline); // brings the files into the page cache
    const child_run read = run_child(self, baseline);
    const child_run full = run_child(self, report);
    const double rate = records / full.seconds;
    std::printf("  listing+reading: %6.2f s  %9.0f records/s  peak %6.1f MiB\n", read.seconds,
                records / read.seconds, read.peak_mib);
    std::printf("  qelreport:       %6.2f s  %9.0f records/s  peak %6.1f MiB\n", full.seconds, rate,
                full.peak_mib);
    std::printf("  ratio qelreport/baseline: time %.2f (target at most 2), memory %.2f\n",
                full.seconds / read.seconds, full.peak_mib / read.peak_mib);
    std::printf("  a year of a four-station line (2,000,000 records) at this rate: %.0f s\n",
                2e6 / rate);
    fs::remove_all(plan.out);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> rest(argv + std::min(argc, 2), argv + argc);
    if (argc > 1 && std::string(argv[1]) == "--read-only") {
        return read_only(rest);
    }
    if (argc > 1 && std::string(argv[1]) == "--report") {
        FILE* quiet = std::fopen("/dev/null", "w");
        return report::run_report(rest, quiet, stderr, false);
    }
    std::vector<uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {100000, 1000000};
    }
    const fs::path work = fs::absolute("build/report_bench");
    fs::create_directories(work);
    for (const uint64_t size : sizes) {
        measure(argv[0], size, work);
    }
    fs::remove_all(work);
    return 0;
}
