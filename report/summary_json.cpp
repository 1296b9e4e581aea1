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
        slots.push_back({{"slot", i + 1},
                         {"tested", slot.tested},
                         {"passed", slot.passed},
                         {"failed", slot.failed},
                         {"yield", number(fraction(slot.passed, slot.tested))},
                         {"programmed_ok", slot.programmed_ok},
                         {"programmed_failed", slot.programmed_failed},
                         {"not_programmed", slot.not_programmed},
                         {"disabled", slot.disabled}});
    }
    return slots;
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
    const auto cpk = stats.cpk();
    const bool seen = stats.count > 0;
    return {{"name", text(measurement.name)},
            {"unit", text(stats.unit)},
            {"count", stats.count},
            {"not_finite", stats.not_finite},
            {"fails", stats.fails},
            {"mean", number(stats.mean())},
            {"stddev", number(stats.stddev())},
            {"min", seen ? number(stats.min) : json(nullptr)},
            {"max", seen ? number(stats.max) : json(nullptr)},
            {"cpk", number(cpk)},
            {"cpk_low", cpk.has_value() && *cpk < capable_cpk},
            {"limits", limits},
            {"limits_not_kept", stats.limits_not_kept},
            {"limit_change_count", stats.change_count},
            {"limit_changes", changes},
            {"histogram",
             {{"origin", number(stats.distribution.origin)},
              {"width", number(stats.distribution.width)},
              {"below", stats.distribution.below},
              {"bins", stats.distribution.bins},
              {"above", stats.distribution.above}}}};
}

void add_boards(const station_report& station, json& out) {
    const board_figures& boards = station.boards;
    out["boards"] = boards.boards;
    out["first_pass"] = boards.first_pass;
    out["final_pass"] = boards.final_pass;
    out["first_pass_yield"] = number(fraction(boards.first_pass, boards.boards));
    out["final_yield"] = number(fraction(boards.final_pass, boards.boards));
    out["retested_boards"] = boards.retested;
    out["retests"] = boards.retests;
    out["records_without_qr"] = boards.without_qr;
    out["records_without_qr_passed"] = boards.without_qr_passed;
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
    json out = {{"name", text(station.name)},
                {"root", text(station.root)},
                {"records", station.records},
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
    json measurements = json::array();
    for (const named_measurement& measurement : station.measurements) {
        measurements.push_back(measurement_of(measurement));
    }
    out["measurements"] = measurements;

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
        {"format", "qelreport summary 1"},
        {"period", {{"from", day(report.days.from_day)}, {"to", day(report.days.to_day)}}},
        {"cpk_flag_below", capable_cpk},
        {"stations", stations}};
    return summary.dump(1) + "\n";
}

} // namespace report
