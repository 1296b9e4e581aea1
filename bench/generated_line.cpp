#include "generated_line.h"

#include "line_generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace bench {

generated_line generate_records(const std::filesystem::path& out, uint64_t records, int lines) {
    generator::line_plan plan;
    plan.out = out;
    plan.measurements = lines;
    std::filesystem::remove_all(plan.out);
    const uint64_t cycles = records / 16; // four stations, four boards a cycle
    plan.days = static_cast<int>(std::max<uint64_t>(1, cycles / 500));
    plan.cycles_per_day = static_cast<int>(cycles / static_cast<uint64_t>(plan.days));
    const auto start = std::chrono::steady_clock::now();
    const generator::line_truth truth = generator::generate_line(plan);
    generated_line line;
    for (const auto& station : truth.stations) {
        line.records += station.records;
    }
    std::printf("%llu records of %d lines generated in %.0f s (%d days of %d cycles, 4 "
                "stations)\n",
                static_cast<unsigned long long>(line.records), lines,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                plan.days, plan.cycles_per_day);
    for (int i = 1; i <= plan.stations; ++i) {
        line.roots.push_back((plan.out / ("ST" + std::to_string(i)) / "xlog.data").string());
    }
    return line;
}

} // namespace bench
