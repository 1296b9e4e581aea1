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

TEST(MeasurementStats, SpreadAndCpkFollowTheLimitsInForceAtTheEnd) {
    measurement_stats stats;
    for (const double value : {9.0, 10.0, 11.0}) {
        stats.add(value, true, {7, 13}, "V", 100);
    }
    EXPECT_DOUBLE_EQ(*stats.mean(), 10.0);
    EXPECT_DOUBLE_EQ(*stats.stddev(), 1.0);
    EXPECT_DOUBLE_EQ(*stats.cpk(), 1.0) << "3 / (3 * 1)";

    stats.add(10.0, true, {8, 13}, "V", 200);
    stats.add(std::numeric_limits<double>::quiet_NaN(), false, {8, 13}, "V", 300);
    EXPECT_EQ(stats.count, 4u);
    EXPECT_EQ(stats.not_finite, 1u);
    EXPECT_EQ(stats.fails, 1u);
    EXPECT_DOUBLE_EQ(*stats.stddev(), std::sqrt(2.0 / 3.0));
    EXPECT_DOUBLE_EQ(*stats.cpk(), 2.0 / (3 * std::sqrt(2.0 / 3.0))) << "against 8___13";
    EXPECT_DOUBLE_EQ(stats.min, 9.0);
    EXPECT_DOUBLE_EQ(stats.max, 11.0);

    stats.add(10.0, true, {7, 13}, "V", 400);
    ASSERT_EQ(stats.limits.size(), 2u) << "distinct limits, in order of first appearance";
    EXPECT_EQ(stats.limits[1].low, 8);
    ASSERT_EQ(stats.changes.size(), 2u);
    EXPECT_EQ(stats.changes[0].time, 200);
    EXPECT_EQ(stats.changes[0].from.low, 7);
    EXPECT_EQ(stats.changes[0].to.low, 8);
    EXPECT_EQ(stats.changes[1].to.low, 7);
}

TEST(MeasurementStats, NoCpkWithoutSpreadOrWithLimitsThatAreNoNumbers) {
    measurement_stats flat;
    flat.add(1.0, true, {0, 2}, "", 0);
    EXPECT_FALSE(flat.stddev()) << "one value has no spread";
    flat.add(1.0, true, {0, 2}, "", 0);
    EXPECT_FALSE(flat.cpk()) << "no spread";

    measurement_stats one_sided;
    one_sided.add(4.0, true, {0, INFINITY}, "", 0);
    one_sided.add(6.0, true, {0, INFINITY}, "", 0);
    EXPECT_DOUBLE_EQ(*one_sided.cpk(), 5.0 / (3 * std::sqrt(2.0))) << "the lower side alone";

    measurement_stats unknown;
    unknown.add(4.0, false, {NAN, 5}, "", 0);
    unknown.add(6.0, false, {NAN, 5}, "", 0);
    EXPECT_FALSE(unknown.cpk());
}

TEST(Histogram, BinsSpanTheFirstLimitsAndCountWhatFallsOutside) {
    histogram bins;
    bins.add(10.0, {4, 16}); // span 12: the bins run from 1 to 19, half a unit each
    bins.add(0.5, {4, 16});
    bins.add(19.0, {0, 100});
    EXPECT_DOUBLE_EQ(bins.origin, 1.0);
    EXPECT_DOUBLE_EQ(bins.width, 0.5);
    EXPECT_EQ(bins.bins[18], 1u);
    EXPECT_EQ(bins.below, 1u);
    EXPECT_EQ(bins.above, 1u) << "the bins stay as the first limits set them";
}

record_row row(std::string qr, bool pass, local_seconds time = 0, std::string failed = "") {
    record_row r;
    r.qr = std::move(qr);
    r.pass = pass;
    r.time = time;
    r.failed = std::move(failed);
    return r;
}

TEST(BoardTally, YieldsAndRetestsWorkedOutByHand) {
    board_tally tally;
    EXPECT_EQ(tally.add(row("A", false, 1, "R1")), 1u);
    EXPECT_EQ(tally.add(row("B", true, 2)), 1u);
    EXPECT_EQ(tally.add(row("C", false, 3, "C3")), 1u);
    EXPECT_EQ(tally.add(row("", true, 4)), 0u);
    EXPECT_EQ(tally.add(row("", false, 5)), 0u);
    EXPECT_EQ(tally.add(row("A", true, 6)), 2u);
    EXPECT_EQ(tally.add(row("C", false, 7, "VCC")), 2u);
    EXPECT_EQ(tally.add(row("D", false, 8)), 1u);
    EXPECT_EQ(tally.add(row("C", true, 9)), 3u);
    const board_figures figures = tally.finish();

    // Boards A B C D and two without a QR code; first passes: B and one without a QR code;
    // final passes: A, B, C and that one.
    EXPECT_EQ(figures.boards, 6u);
    EXPECT_EQ(figures.first_pass, 2u);
    EXPECT_EQ(figures.final_pass, 4u);
    EXPECT_EQ(figures.without_qr, 2u);
    EXPECT_EQ(figures.without_qr_passed, 1u);
    EXPECT_EQ(figures.retested, 2u);
    EXPECT_EQ(figures.retests, 3u);
    EXPECT_EQ(figures.tests_per_board, (std::map<uint32_t, uint64_t>{{1, 4}, {2, 1}, {3, 1}}));

    ASSERT_EQ(figures.histories.size(), 2u);
    const board_history& c = figures.histories[0];
    EXPECT_EQ(c.qr, "C") << "most tests first";
    ASSERT_EQ(c.kept.size(), 3u);
    EXPECT_EQ(c.kept[0].failed, "C3") << "the first test is kept from before the retest";
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

TEST(StationTally, ARecordWithoutLinesTakesTheSlotItsCycleResultsGiveItsQrCode) {
    std::vector<std::string> rows;
    station_tally tally("ST1", "/st1/xlog.data", [&](const std::string&, const record_row& r) {
        rows.push_back(r.file + "@" + std::to_string(r.slot));
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
    tally.add_program_result(results);
    // The next cycle: a record whose cycle never gets results.
    tally.add_record(station_record(20, "Q5"), {}, "e");
    const station_report report = tally.finish();

    EXPECT_EQ(rows, (std::vector<std::string>{"a@1", "b@2", "c@3", "d@4", "e@0"}))
        << "in order; Q/3 matched as the file name holds it";
    EXPECT_EQ(report.records, 5u);
    EXPECT_EQ(report.records_without_slot, 1u);
    EXPECT_EQ(report.slots[1].tested, 1u);
    EXPECT_EQ(report.slots[1].programmed_failed, 1u);
    EXPECT_EQ(report.slots[3].failed, 1u);
    EXPECT_EQ(report.slots[3].not_programmed, 1u);
    ASSERT_EQ(report.measurements.size(), 1u);
    EXPECT_EQ(report.measurements[0].stats.count, 2u);
    EXPECT_EQ(report.measurements[0].stats.fails, 1u);
}

} // namespace
} // namespace report
