#pragma once
// What the report knows of one measurement name, gathered record by record in time order:
// count, mean and spread (Welford's running sums, so a million values lose no precision),
// the extremes, the fails, the limits seen and when they changed, and the distribution.
#include "histogram.h"
#include "measurement_limits.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

class measurement_stats {
public:
    // A hostile file could print new limits on every line; past these the rest is counted.
    static constexpr size_t max_limits_kept = 100;
    static constexpr size_t max_changes_kept = 20;

    void add(double value, bool pass, const limit_pair& limits, std::string_view unit,
             local_seconds time);

    uint64_t count = 0;      // values that are numbers
    uint64_t not_finite = 0; // values printed as inf or nan; in no figure but the fails
    uint64_t fails = 0;
    double min = 0;
    double max = 0;
    std::string unit; // the first one seen

    std::optional<double> mean() const;
    // The sample standard deviation; nullopt below two values.
    std::optional<double> stddev() const;
    // min(high - mean, mean - low) / (3 stddev) against the limits in force at the end of
    // the period; nullopt without a spread, or when the limits give no finite figure.
    std::optional<double> cpk() const;

    std::vector<limit_pair> limits;    // distinct, in order of first appearance
    uint64_t limits_not_kept = 0;      // records whose distinct limits were past the cap
    limit_pair current;                // of the latest record
    std::vector<limit_change> changes; // the first ones, in time order
    uint64_t change_count = 0;
    histogram distribution;

private:
    void note_limits(const limit_pair& limits, local_seconds time);

    uint64_t records = 0;
    double running_mean = 0;
    double squares = 0; // sum of squared differences from the mean
};

} // namespace report
