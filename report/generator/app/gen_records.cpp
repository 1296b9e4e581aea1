// gen_records: writes a realistic records tree of a line for tests, the benchmark and
// trying qelreport: OUT/ST1/xlog.data ... and OUT/truth.json, the figures a report of it
// must find.
#include "line_generator.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace {

constexpr const char* usage =
    "usage: gen_records --out DIR [--stations N] [--days N] [--cycles-per-day N]\n"
    "                   [--measurements N] [--start YYYY-MM-DD] [--seed N]\n"
    "  a cycle tests four boards; defaults: 4 stations, 3 days, 200 cycles a day,\n"
    "  5 measurements (judgement lines) a board, 2024-03-01\n";

bool read_int(std::string_view text, int& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && value > 0;
}

bool parse(int argc, char** argv, generator::line_plan& plan) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        const std::string_view value = argv[i + 1];
        int number = 0;
        if (option == "--out") {
            plan.out = value;
        } else if (option == "--start" && value.size() == 10 &&
                   read_int(value.substr(0, 4), plan.year) &&
                   read_int(value.substr(5, 2), plan.month) &&
                   read_int(value.substr(8, 2), plan.day)) {
        } else if (!read_int(value, number)) {
            return false;
        } else if (option == "--stations") {
            plan.stations = number;
        } else if (option == "--days") {
            plan.days = number;
        } else if (option == "--cycles-per-day") {
            plan.cycles_per_day = number;
        } else if (option == "--measurements") {
            plan.measurements = number;
        } else if (option == "--seed") {
            plan.seed = static_cast<uint64_t>(number);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !plan.out.empty();
}

} // namespace

int main(int argc, char** argv) {
    generator::line_plan plan;
    if (!parse(argc, argv, plan)) {
        std::fputs(usage, stderr);
        return 2;
    }
    const generator::line_truth truth = generator::generate_line(plan);
    std::ofstream(plan.out / "truth.json") << generator::truth_json(truth);
    uint64_t records = 0;
    for (const auto& station : truth.stations) {
        records += station.records;
    }
    std::printf("gen_records: %llu station records of %d stations in %s\n",
                static_cast<unsigned long long>(records), plan.stations, plan.out.c_str());
    return 0;
}
