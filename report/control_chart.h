#pragma once
// An individuals and moving-range chart of a measurement's latest values. The centre lines
// and limits come from the within sigma: the mean +- 3 sigma for the values; the average
// moving range (1.128 sigma) and 3.267 times it for the ranges of two successive values.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace report {

struct control_chart {
    std::vector<double> values; // oldest first
    double centre = 0;
    double lower = 0;
    double upper = 0;
    double range_centre = 0;
    double range_upper = 0;
    std::vector<size_t> values_out; // indexes of the values beyond the limits
    std::vector<size_t> ranges_out; // i: the range of values i - 1 and i is above its limit

    uint64_t out_of_control() const { return values_out.size() + ranges_out.size(); }
};

// Nullopt without values or without a within sigma.
std::optional<control_chart> control_chart_of(std::vector<double> values, double centre,
                                              const std::optional<double>& sigma_within);

} // namespace report
