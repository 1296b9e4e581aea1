#pragma once
// Figures that the outputs derive alike from a station's counts: yields, the Paretos of
// failing measurements and the throughput buckets.
#include "station_report.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

// part / whole, or nullopt when the whole is 0.
std::optional<double> fraction(uint64_t part, uint64_t whole);

// The slots' counts added up.
slot_figures slot_totals(const station_report& station);

struct pareto_entry {
    std::string name;
    uint64_t fails = 0;
    double share = 0;      // of all fails of the station
    double cumulative = 0; // of this entry and those above it
};
// Failing measurements, most fails first (ties by name).
std::vector<pareto_entry> pareto_of(const station_report& station);

struct first_test_entry {
    std::string name;
    uint64_t fails = 0;
    uint64_t boards = 0;
};
// Failing measurements of boards' first tests, most fails first (ties by name).
std::vector<first_test_entry> pareto_first_test_of(const station_report& station);

// Boards' first-pass yield: first passes over boards.
std::optional<double> first_pass_yield(const station_report& station);
// Records without a QR code over all records with a result: the untraceable share.
std::optional<double> untraceable_share(const station_report& station);
// Programmed over programming attempts (programmed and failed).
std::optional<double> programming_yield(const station_report& station);
// First-pass yield times programming yield.
std::optional<double> rolled_yield(const station_report& station);
// Days on which every passing slot failed to program: what a station without a programming
// command writes.
std::vector<int64_t> programming_off_days(const station_report& station);

struct throughput_point {
    local_seconds start = 0;
    uint64_t records = 0;
    double per_hour = 0;
};
struct throughput {
    int bucket_hours = 1;
    std::vector<throughput_point> points; // from the first record's bucket to the last's
};
// Records per hour, in buckets wide enough to give at most `max_points` points.
throughput throughput_of(const station_report& station, size_t max_points = 240);

} // namespace report
