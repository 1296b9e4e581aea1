#include "summary_json.h"

#include "derived_figures.h"
#include "utf8_text.h"

#include <nlohmann/json.hpp>

namespace report {
namespace {

using json = nlohmann::ordered_json;

// JSON has no inf or nan: such a figure is null.
json number(double value) {
    return std::isfinite(value) ? json(value) : json(nullptr);
}
json number(const std::optional<double>& value) {
    return value ? number(*value) : json(nullptr);
}
json text(std::string_view bytes) {
    return well_formed_utf8(bytes);
}
json time_or_null(bool known, local_seconds time) {
    return known ? json(format_time(time)) : json(nullptr);
}
json pair(const limit_pair& limits) {
    return json::array({number(limits.low), number(limits.high)});
}

json slots_of(const station_report& station) {
    json slots = json::array();
    for (size_t i = 0; i < station.slots.size(); ++i) {
        const slot_figures& slot = station.slots[i];
        slots.push_back(
            {{"slot", i + 1},
             {"tested", slot.tested},
             {"passed", slot.passed},
             {"failed", slot.failed},
             {"yield", number(fraction(slot.passed, slot.tested))},
             {"no_result", slot.no_result},
             {"first_tested", slot.first_tested},
             {"first_passed", slot.first_passed},
             {"first_test_yield", number(fraction(slot.first_passed, slot.first_tested))},
             {"retest_pass", station.boards.retest_pass[i]},
             {"programmed_ok", slot.programmed_ok},
             {"programmed_failed", slot.programmed_failed},
             {"not_programmed", slot.not_programmed},
             {"disabled", slot.disabled}});
    }
    return slots;
}

json capability_of(const capability& figures) {
    return {{"count", figures.count},           {"mean", number(figures.mean)},
            {"stddev", number(figures.stddev)}, {"sigma_within", number(figures.sigma_within)},
            {"cpk", number(figures.cpk)},       {"ppk", number(figures.ppk)}};
}

json measurement_of(const named_measurement& measurement) {
    const measurement_stats& stats = measurement.stats;
    json limits = json::array();
    for (const limit_pair& seen : stats.limits) {
        limits.push_back(pair(seen));
    }
    json changes = json::array();
    for (const limit_change& change : stats.changes) {
        changes.push_back({{"time", format_time(change.time)},
                           {"from", pair(change.from)},
                           {"to", pair(change.to)}});
    }
    const capability pooled = stats.pooled();
    json by_slot = json::array();
    for (int slot = 1; slot <= measurement_stats::slots; ++slot) {
        const capability figures = stats.of_slot(slot);
        if (figures.count > 0) {
            json entry = {{"slot", slot}};
            entry.update(capability_of(figures));
            by_slot.push_back(entry);
        }
    }
    const histogram distribution = stats.distribution();
    const auto chart = stats.chart();
    const auto since = stats.capability_since();
    const bool seen = stats.count > 0;
    return {{"name", text(measurement.name)},
            {"unit", text(stats.unit)},
            {"count", stats.count},
            {"gross", stats.gross},
            {"not_finite", stats.not_finite},
            {"fails", stats.fails},
            {"mean", number(stats.mean())},
            {"stddev", number(stats.stddev())},
            {"min", seen ? number(stats.min) : json(nullptr)},
            {"max", seen ? number(stats.max) : json(nullptr)},
            {"capability_count", pooled.count},
            {"capability_since", time_or_null(since.has_value(), since.value_or(0))},
            {"sigma_within", number(pooled.sigma_within)},
            {"cpk", number(pooled.cpk)},
            {"ppk", number(pooled.ppk)},
            {"cpk_low", cpk_low(pooled)},
            {"by_slot", by_slot},
            {"limits", limits},
            {"limits_not_kept", stats.limits_not_kept},
            {"limit_change_count", stats.change_count},
            {"limit_changes", changes},
            {"histogram",
             {{"origin", number(distribution.origin)},
              {"width", number(distribution.width)},
              {"below", distribution.below},
              {"bins", distribution.bins},
              {"above", distribution.above}}},
            {"control_chart", chart ? json{{"values", chart->values.size()},
                                           {"centre", number(chart->centre)},
                                           {"lower", number(chart->lower)},
                                           {"upper", number(chart->upper)},
                                           {"range_centre", number(chart->range_centre)},
                                           {"range_upper", number(chart->range_upper)}}
                                    : json(nullptr)},
            {"out_of_control", chart ? chart->out_of_control() : 0}};
}

void add_boards(const station_report& station, json& out) {
    const board_figures& boards = station.boards;
    out["boards"] = boards.boards;
    out["first_pass"] = boards.first_pass;
    out["final_pass"] = boards.final_pass;
    out["first_pass_yield"] = number(first_pass_yield(station));
    out["final_yield"] = number(fraction(boards.final_pass, boards.boards));
    out["retested_boards"] = boards.retested;
    out["retests"] = boards.retests;
    out["records_without_qr"] = boards.without_qr;
    out["records_without_qr_passed"] = boards.without_qr_passed;
    out["records_without_qr_yield"] = number(fraction(boards.without_qr_passed, boards.without_qr));
    out["untraceable_share"] = number(untraceable_share(station));
    json per_board = json::array();
    uint64_t at_least = boards.boards;
    for (const auto& [tests, count] : boards.tests_per_board) {
        per_board.push_back({{"tests", tests}, {"boards", count}, {"at_least", at_least}});
        at_least -= count;
    }
    out["tests_per_board"] = per_board;
    json histories = json::array();
    for (const board_history& history : boards.histories) {
        json records = json::array();
        for (const board_test& test : history.kept) {
            records.push_back({{"time", format_time(test.time)},
                               {"slot", test.slot},
                               {"pass", test.pass},
                               {"failed", text(test.failed)}});
        }
        histories.push_back(
            {{"qr", text(history.qr)}, {"tests", history.tests}, {"records", records}});
    }
    out["board_histories"] = histories;
    out["board_histories_left_out"] = boards.histories_left_out;
}

json station_of(const station_report& station) {
    const bool any = station.records > 0;
    json roots = json::array();
    for (const std::string& root : station.roots) {
        roots.push_back(text(root));
    }
    json out = {{"name", text(station.name)},
                {"root", roots.empty() ? json("") : roots[0]},
                {"roots", roots},
                {"records", station.records},
                {"no_result", station.no_result},
                {"unparsed", station.unparsed},
                {"program_results", station.program_results},
                {"first_record", time_or_null(any, station.first_record)},
                {"last_record", time_or_null(any, station.last_record)}};
    add_boards(station, out);
    out["slots"] = slots_of(station);
    out["records_without_slot"] = station.records_without_slot;
    const slot_figures sum = slot_totals(station);
    out["programmed_ok"] = sum.programmed_ok;
    out["programmed_failed"] = sum.programmed_failed;
    out["not_programmed"] = sum.not_programmed;
    out["programming_yield"] = number(programming_yield(station));
    out["rolled_yield"] = number(rolled_yield(station));
    json off_days = json::array();
    for (const int64_t day : programming_off_days(station)) {
        off_days.push_back(format_day(day));
    }
    out["programming_looks_off"] = !off_days.empty();
    out["programming_off_days"] = off_days;

    json pareto = json::array();
    uint64_t fails = 0;
    for (const pareto_entry& entry : pareto_of(station)) {
        fails += entry.fails;
        pareto.push_back({{"name", text(entry.name)},
                          {"fails", entry.fails},
                          {"share", entry.share},
                          {"cumulative_share", entry.cumulative}});
    }
    out["fails"] = fails;
    out["pareto"] = pareto;
    json first_tests = json::array();
    for (const first_test_entry& entry : pareto_first_test_of(station)) {
        first_tests.push_back(
            {{"name", text(entry.name)}, {"fails", entry.fails}, {"boards", entry.boards}});
    }
    out["pareto_first_test"] = first_tests;
    json measurements = json::array();
    for (const named_measurement& measurement : station.measurements) {
        measurements.push_back(measurement_of(measurement));
    }
    out["measurements"] = measurements;
    out["measurement_names_not_kept"] = station.measurement_names_not_kept;
    json daily = json::array();
    for (const auto& [day, figures] : station.days) {
        daily.push_back(
            {{"day", format_day(day)},
             {"records", figures.records},
             {"boards", figures.boards},
             {"first_pass_yield", number(fraction(figures.first_pass, figures.boards))}});
    }
    out["daily"] = daily;

    const throughput flow = throughput_of(station);
    json points = json::array();
    for (const throughput_point& point : flow.points) {
        points.push_back({{"start", format_time(point.start)},
                          {"records", point.records},
                          {"per_hour", point.per_hour}});
    }
    out["throughput"] = {{"bucket_hours", flow.bucket_hours}, {"points", points}};

    json unparsed = json::array();
    for (const unparsed_file& file : station.unparsed_files) {
        unparsed.push_back({{"file", text(file.file)}, {"reason", text(file.reason)}});
    }
    out["unparsed_files"] = unparsed;
    return out;
}

} // namespace

std::string summary_json(const report_data& report) {
    json stations = json::array();
    for (const station_report& station : report.stations) {
        stations.push_back(station_of(station));
    }
    const auto day = [](const std::optional<int64_t>& d) {
        return d ? json(format_day(*d)) : json(nullptr);
    };
    const json summary = {
        {"format", "qelreport summary 2"},
        {"period", {{"from", day(report.days.from_day)}, {"to", day(report.days.to_day)}}},
        {"cpk_flag_below", capable_cpk},
        {"cpk_min_count", cpk_min_count},
        {"stations", stations}};
    return summary.dump(1) + "\n";
}

} // namespace report
