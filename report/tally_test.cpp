// The figures against values worked out by hand: spread and Cpk, limit changes, yields and
// retests, and the slots of records that do not name theirs.
#include "board_tally.h"
#include "measurement_stats.h"
#include "station_tally.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace report {
namespace {

constexpr double d2 = 1.128; // average moving range over sigma, for ranges of two

TEST(MeasurementStats, CpkFromTheWithinSigmaPpkFromTheOverallOneAndGrossValuesApart) {
    measurement_stats stats;
    // A drift: 1 to 9 in steps of 1, limits 0 to 10. Mean 5, overall sigma sqrt(60 / 8),
    // every moving range 1.
    for (int i = 1; i <= 9; ++i) {
        stats.add(i, true, {0, 10}, 1, "V", i);
    }
    // An open circuit, a field without a number (a failing 0.000) and nan: all gross.
    stats.add(1e6, false, {0, 10}, 1, "V", 20);
    stats.add(0.0, false, {2, 10}, 2, "V", 21);
    stats.add(NAN, false, {0, 10}, 1, "V", 22);
    // Beyond a limit by less than the tolerance: a fail, but counted.
    stats.add(-9.0, false, {0, 10}, 3, "V", 23);

    EXPECT_EQ(stats.count, 10u);
    EXPECT_EQ(stats.gross, 3u);
    EXPECT_EQ(stats.not_finite, 1u);
    EXPECT_EQ(stats.fails, 4u);
    EXPECT_DOUBLE_EQ(stats.min, -9.0);
    EXPECT_DOUBLE_EQ(stats.max, 9.0);

    const capability slot1 = stats.of_slot(1);
    EXPECT_EQ(slot1.count, 9u);
    EXPECT_DOUBLE_EQ(*slot1.mean, 5.0);
    EXPECT_DOUBLE_EQ(*slot1.stddev, std::sqrt(60.0 / 8));
    EXPECT_DOUBLE_EQ(*slot1.sigma_within, 1 / d2);
    EXPECT_DOUBLE_EQ(*slot1.cpk, 5 / (3 / d2)) << "the drift does not lower Cpk";
    EXPECT_DOUBLE_EQ(*slot1.ppk, 5 / (3 * std::sqrt(60.0 / 8))) << "but it lowers Ppk";
    EXPECT_FALSE(stats.of_slot(3).sigma_within) << "one value has no moving range";
}

TEST(MeasurementStats, ASlotOffsetShowsPerSlotAndDoesNotWidenTheWithinSigma) {
    measurement_stats stats;
    const double base[] = {5.0, 5.1, 4.9, 5.0};
    for (int i = 0; i < 4; ++i) { // slots 1 and 2 alternate, slot 2 one volt higher
        stats.add(base[i], true, {0, 10}, 1, "V", 10 * i);
        stats.add(base[i] + 1, true, {0, 10}, 2, "V", 10 * i);
    }
    const double ranges = (0.1 + 0.2 + 0.1) / 3;
    EXPECT_NEAR(*stats.of_slot(1).sigma_within, ranges / d2, 1e-12);
    EXPECT_NEAR(*stats.of_slot(2).mean, 6.0, 1e-12);
    const capability pooled = stats.pooled();
    EXPECT_NEAR(*pooled.sigma_within, ranges / d2, 1e-12) << "moving ranges within slots";
    EXPECT_GT(*pooled.stddev, 0.5) << "the offset is in the overall spread";
    EXPECT_NEAR(*pooled.cpk, (10 - 5.5) / (3 * ranges / d2), 1e-9);
}

TEST(MeasurementStats, CapabilityFollowsTheLatestLimitsButSlotLimitsAreNoChange) {
    measurement_stats stats;
    for (int i = 0; i < 4; ++i) { // each slot under its own limits: no change
        stats.add(5.0 + i, true, {0, 10}, 1, "V", i);
        stats.add(6.0, true, {1, 11}, 2, "V", i);
    }
    EXPECT_EQ(stats.change_count, 0u);
    EXPECT_FALSE(stats.capability_since());
    EXPECT_EQ(stats.pooled().count, 4u) << "pooled over the slots under the latest limits";

    stats.add(7.0, true, {0, 20}, 1, "V", 100); // a new program for both slots, one cycle
    stats.add(7.5, true, {0, 20}, 2, "V", 100);
    stats.add(8.0, true, {0, 20}, 1, "V", 110);
    EXPECT_EQ(stats.change_count, 2u) << "slot 2's own limits changed differently";
    ASSERT_EQ(stats.changes.size(), 2u);
    EXPECT_EQ(stats.changes[0].time, 100);
    EXPECT_EQ(*stats.capability_since(), 100);
    const capability pooled = stats.pooled();
    EXPECT_EQ(pooled.count, 3u);
    EXPECT_NEAR(*pooled.mean, 22.5 / 3, 1e-12);
    EXPECT_NEAR(*pooled.sigma_within, 1.0 / d2, 1e-12) << "7 to 8 in slot 1";
    EXPECT_EQ(stats.count, 11u) << "the period's figures keep every value";
    EXPECT_EQ(stats.limits.size(), 3u);
}

TEST(Histogram, BinsAreWholeThousandthsAndAValueOnALimitIsInside) {
    measurement_stats tight;
    for (const double value : {1.000, 1.004, 1.010, 1.010, 1.011}) {
        tight.add(value, value <= 1.010, {1.0, 1.01}, 1, "V", 0);
    }
    const histogram h = tight.distribution();
    EXPECT_DOUBLE_EQ(h.width, 0.001) << "never narrower than the records print";
    EXPECT_DOUBLE_EQ(h.origin, 0.9995);
    ASSERT_EQ(h.bins.size(), 12u);
    EXPECT_EQ(h.bins[0], 1u);
    EXPECT_EQ(h.bins[4], 1u);
    EXPECT_EQ(h.bins[10], 2u) << "1.010 in the last bin inside the limits";
    EXPECT_EQ(h.bins[11], 1u);

    // 3.150 to 3.450 and values over three tolerances: 901 thousandths in bins that divide
    // the 301 thousandths of the tolerance, one starting on the lower limit.
    measurement_stats wide;
    for (const double value : {2.850, 3.150, 3.300, 3.450, 3.750}) {
        wide.add(value, true, {3.15, 3.45}, 1, "V", 0);
    }
    const histogram w = wide.distribution();
    const double cells = std::round(w.width * 1000);
    EXPECT_DOUBLE_EQ(w.width, cells / 1000);
    EXPECT_EQ(301 % static_cast<int>(cells), 0) << cells;
    const double lower_edge = (3.1495 - w.origin) / w.width;
    EXPECT_NEAR(lower_edge, std::round(lower_edge), 1e-6) << "a bin edge half a thousandth below";
    uint64_t total = 0;
    for (const uint64_t count : w.bins) {
        total += count;
    }
    EXPECT_EQ(total, 5u);
}

TEST(ThousandthCounts, CellsMergeInPairsAndKeepEveryValue) {
    thousandth_counts counts;
    for (int i = -1500; i <= 1500; ++i) {
        counts.add(i / 1000.0);
    }
    counts.add(1e300);
    EXPECT_EQ(counts.cell_size(), 4) << "3001 thousandths in at most 1024 cells";
    uint64_t total = 0;
    for (const uint32_t cell : counts.cells()) {
        total += cell;
    }
    EXPECT_EQ(total, 3001u);
    EXPECT_EQ(counts.first_cell(), -375) << "-1500 / 4, rounded down";
    EXPECT_EQ(counts.beyond_above, 1u);
}

record_row row(std::string qr, bool pass, local_seconds time, int slot,
               std::string_view failed = "") {
    record_row r;
    r.qr = std::move(qr);
    r.pass = pass;
    r.time = time;
    r.slot = slot;
    if (!failed.empty()) {
        r.add_failed(failed);
    }
    return r;
}

TEST(BoardTally, YieldsRetestsAndNoTroubleFoundWorkedOutByHand) {
    board_tally tally;
    EXPECT_EQ(tally.add(row("A", false, 1, 1, "R1")), 1u);
    EXPECT_EQ(tally.add(row("B", true, 2, 2)), 1u);
    EXPECT_EQ(tally.add(row("C", false, 3, 2, "C3")), 1u);
    EXPECT_EQ(tally.add(row("", true, 4, 3)), 0u);
    EXPECT_EQ(tally.add(row("", false, 5, 4)), 0u);
    EXPECT_EQ(tally.add(row("A", true, 6, 2)), 2u);
    EXPECT_EQ(tally.add(row("C", false, 7, 3, "VCC")), 2u);
    EXPECT_EQ(tally.add(row("D", false, 8, 1)), 1u);
    EXPECT_EQ(tally.add(row("C", true, 9, 2)), 3u);
    EXPECT_EQ(tally.add(row("C", false, 10, 2)), 4u);
    EXPECT_EQ(tally.add(row("C", true, 11, 1)), 5u);
    const board_figures figures = tally.finish();

    // Boards A B C D; records without a QR code are no boards. First passes: B; final
    // passes: A, B, C.
    EXPECT_EQ(figures.boards, 4u);
    EXPECT_EQ(figures.first_pass, 1u);
    EXPECT_EQ(figures.final_pass, 3u);
    EXPECT_EQ(figures.without_qr, 2u);
    EXPECT_EQ(figures.without_qr_passed, 1u);
    EXPECT_EQ(figures.retested, 2u);
    EXPECT_EQ(figures.retests, 5u);
    EXPECT_EQ(figures.tests_per_board, (std::map<uint32_t, uint64_t>{{1, 2}, {2, 1}, {5, 1}}));
    // A failed in slot 1 and passed later; C failed in 2 and 3, passed, failed in 2 again
    // (counted once) and passed.
    EXPECT_EQ(figures.retest_pass, (std::array<uint64_t, 4>{1, 1, 1, 0}));

    ASSERT_EQ(figures.histories.size(), 2u);
    const board_history& c = figures.histories[0];
    EXPECT_EQ(c.qr, "C") << "most tests first";
    ASSERT_EQ(c.kept.size(), 5u);
    EXPECT_EQ(c.kept[0].failed, "C3") << "the first test is kept from before the retest";
    EXPECT_EQ(c.kept[0].slot, 2);
    EXPECT_EQ(c.kept[1].failed, "VCC");
    EXPECT_TRUE(c.kept[2].pass);
    EXPECT_EQ(figures.histories[1].qr, "A");
}

judgement_line line(int slot, bool pass, std::string_view name, double value) {
    return {slot, pass, name, value, "V", 0, 10};
}

record_name station_record(local_seconds time, std::string qr) {
    return {record_kind::station, time, std::move(qr), 1};
}

TEST(StationTally, ARecordWithoutLinesHasNoResultAndTakesTheSlotOfItsQrCode) {
    std::vector<std::string> rows;
    station_tally tally("ST1", {"/st1/xlog.data"}, [&](const std::string&, const record_row& r) {
        rows.push_back(r.file + "@" + std::to_string(r.slot) + (r.has_result ? "" : "?"));
    });
    // Two boards without QR codes: slot 1 with its lines, slot 2 with none.
    tally.add_record(station_record(10, ""), {line(1, true, "R1", 5)}, "a");
    tally.add_record(station_record(10, ""), {}, "b");
    tally.add_record(station_record(10, "Q_3"), {}, "c");
    tally.add_record(station_record(10, "Q4"), {line(4, false, "R1", 11)}, "d");
    std::vector<program_line> results = {{1, "", program_outcome::programmed},
                                         {2, "", program_outcome::failed},
                                         {3, "Q/3", program_outcome::programmed},
                                         {4, "Q4", program_outcome::not_programmed}};
    EXPECT_TRUE(rows.size() == 1) << "b, c and d wait for the results";
    tally.add_program_result(10, results);
    // The next cycle: a record whose cycle never gets results.
    tally.add_record(station_record(20, "Q5"), {}, "e");
    const station_report report = tally.finish();

    EXPECT_EQ(rows, (std::vector<std::string>{"a@1", "b@2?", "c@3?", "d@4", "e@0?"}))
        << "in order; Q/3 matched as the file name holds it";
    EXPECT_EQ(report.records, 5u);
    EXPECT_EQ(report.no_result, 3u);
    EXPECT_EQ(report.records_without_slot, 1u);
    EXPECT_EQ(report.slots[1].tested, 0u) << "no result is in no yield";
    EXPECT_EQ(report.slots[1].no_result, 1u);
    EXPECT_EQ(report.slots[1].programmed_failed, 1u);
    EXPECT_EQ(report.slots[3].failed, 1u);
    EXPECT_EQ(report.slots[3].not_programmed, 1u);
    EXPECT_EQ(report.slots[3].first_tested, 1u) << "Q4; Q_3 and Q5 have no result";
    EXPECT_EQ(report.slots[3].first_passed, 0u);
    EXPECT_EQ(report.boards.boards, 1u);
    EXPECT_EQ(report.first_test_pareto.at("R1").boards, 1u);
    const day_figures& day = report.days.at(0);
    EXPECT_EQ(day.records, 5u);
    EXPECT_EQ(day.boards, 1u);
    EXPECT_EQ(day.programmed_ok, 2u);
    EXPECT_EQ(day.programmed_failed, 1u);
    ASSERT_EQ(report.measurements.size(), 1u);
    EXPECT_EQ(report.measurements[0].stats.count, 2u);
    EXPECT_EQ(report.measurements[0].stats.fails, 1u);
}

TEST(StationTally, NamesPastTheCapAreCountedNotKept) {
    station_tally tally("ST1", {"/st1/xlog.data"}, nullptr);
    std::vector<std::string> names;
    for (size_t i = 0; i <= station_report::max_measurement_names; ++i) {
        names.push_back("N" + std::to_string(i));
    }
    std::vector<judgement_line> lines;
    for (const std::string& name : names) {
        lines.push_back(line(1, true, name, 5));
    }
    tally.add_record(station_record(10, "Q1"), lines, "a");
    tally.add_record(station_record(20, "Q2"), {line(1, true, "N0", 5)}, "b");
    const station_report report = tally.finish();
    EXPECT_EQ(report.measurements.size(), station_report::max_measurement_names);
    EXPECT_EQ(report.measurement_names_not_kept, 1u);
    EXPECT_EQ(report.records, 2u);
}

} // namespace
} // namespace report
