#include "derived_figures.h"

#include <algorithm>

namespace report {

std::optional<double> fraction(uint64_t part, uint64_t whole) {
    return whole == 0
               ? std::nullopt
               : std::optional<double>(static_cast<double>(part) / static_cast<double>(whole));
}

slot_figures slot_totals(const station_report& station) {
    slot_figures sum;
    for (const slot_figures& slot : station.slots) {
        sum.tested += slot.tested;
        sum.passed += slot.passed;
        sum.failed += slot.failed;
        sum.no_result += slot.no_result;
        sum.first_tested += slot.first_tested;
        sum.first_passed += slot.first_passed;
        sum.programmed_ok += slot.programmed_ok;
        sum.programmed_failed += slot.programmed_failed;
        sum.not_programmed += slot.not_programmed;
        sum.disabled += slot.disabled;
    }
    return sum;
}

std::vector<pareto_entry> pareto_of(const station_report& station) {
    std::vector<pareto_entry> entries;
    uint64_t total = 0;
    for (const named_measurement& measurement : station.measurements) {
        if (measurement.stats.fails > 0) {
            entries.push_back({measurement.name, measurement.stats.fails, 0, 0});
            total += measurement.stats.fails;
        }
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const pareto_entry& a, const pareto_entry& b) { return a.fails > b.fails; });
    uint64_t running = 0;
    for (pareto_entry& entry : entries) {
        running += entry.fails;
        entry.share = *fraction(entry.fails, total);
        entry.cumulative = *fraction(running, total);
    }
    return entries;
}

std::vector<first_test_entry> pareto_first_test_of(const station_report& station) {
    std::vector<first_test_entry> entries;
    for (const auto& [name, fails] : station.first_test_pareto) {
        entries.push_back({name, fails.fails, fails.boards});
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const first_test_entry& a, const first_test_entry& b) { return a.fails > b.fails; });
    return entries;
}

std::optional<double> first_pass_yield(const station_report& station) {
    return fraction(station.boards.first_pass, station.boards.boards);
}

std::optional<double> untraceable_share(const station_report& station) {
    return fraction(station.boards.without_qr, station.records - station.no_result);
}

std::optional<double> programming_yield(const station_report& station) {
    const slot_figures sum = slot_totals(station);
    return fraction(sum.programmed_ok, sum.programmed_ok + sum.programmed_failed);
}

std::optional<double> rolled_yield(const station_report& station) {
    const auto test = first_pass_yield(station);
    const auto programming = programming_yield(station);
    return test && programming ? std::optional<double>(*test * *programming) : std::nullopt;
}

std::vector<int64_t> programming_off_days(const station_report& station) {
    std::vector<int64_t> days;
    for (const auto& [day, figures] : station.days) {
        if (figures.programmed_failed > 0 && figures.programmed_ok == 0) {
            days.push_back(day);
        }
    }
    return days;
}

throughput throughput_of(const station_report& station, size_t max_points) {
    throughput result;
    if (station.records_per_hour.empty()) {
        return result;
    }
    const int64_t first = station.records_per_hour.begin()->first;
    const int64_t last = station.records_per_hour.rbegin()->first;
    for (const int hours : {1, 2, 3, 4, 6, 12, 24, 48, 168, 720, 8760}) {
        result.bucket_hours = hours;
        if (static_cast<size_t>((last - first) / hours + 1) <= max_points) {
            break;
        }
    }
    const int64_t base = first - first % result.bucket_hours;
    const size_t count = static_cast<size_t>((last - base) / result.bucket_hours + 1);
    result.points.resize(count);
    for (size_t i = 0; i < count; ++i) {
        result.points[i].start = (base + static_cast<int64_t>(i) * result.bucket_hours) * 3600;
    }
    for (const auto& [hour, records] : station.records_per_hour) {
        result.points[static_cast<size_t>((hour - base) / result.bucket_hours)].records += records;
    }
    for (throughput_point& point : result.points) {
        point.per_hour = static_cast<double>(point.records) / result.bucket_hours;
    }
    return result;
}

} // namespace report
