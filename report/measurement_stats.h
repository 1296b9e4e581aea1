#pragma once
// What the report knows of one measurement name, gathered record by record in time order.
// Gross values (no number: printed inf or nan, or a failing 0.000 as the controller prints a
// field without one; or beyond a limit by more than the tolerance) are counted apart and
// kept out of every figure of the spread. Capability is worked out per fixture slot over the
// values since that slot's latest limit change (a limit that differs by slot is that slot's
// own), then pooled.
#include "control_chart.h"
#include "histogram.h"
#include "measurement_limits.h"
#include "recent_values.h"
#include "running_spread.h"
#include "thousandth_counts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// Capability of a population: Cpk from the within sigma, Ppk from the overall one.
struct capability {
    uint64_t count = 0;
    std::optional<double> mean;
    std::optional<double> stddev;       // overall, n - 1
    std::optional<double> sigma_within; // average moving range / 1.128
    std::optional<double> cpk;
    std::optional<double> ppk;
};

class measurement_stats {
public:
    // A hostile file could print new limits on every line; past these the rest is counted.
    static constexpr size_t max_limits_kept = 100;
    static constexpr size_t max_changes_kept = 20;
    static constexpr int slots = 4;

    // `slot` 1 to 4.
    void add(double value, bool pass, const limit_pair& limits, int slot, std::string_view unit,
             local_seconds time);

    uint64_t count = 0;      // values that are numbers and not gross
    uint64_t gross = 0;      // gross values, not_finite among them
    uint64_t not_finite = 0; // values printed as inf or nan
    uint64_t fails = 0;      // failing lines, gross ones among them
    double min = 0;
    double max = 0;
    std::string unit; // the first one seen

    // Over every value of the period that is not gross.
    std::optional<double> mean() const;
    std::optional<double> stddev() const;
    // Over the values since each slot's latest limit change, pooled over the slots under
    // the latest record's limits (a slot under limits of its own is left to of_slot).
    capability pooled() const;
    // One slot's (1 to 4), against its own limits.
    capability of_slot(int slot) const;
    // The time of the first record under the latest limits; nullopt when none changed.
    std::optional<local_seconds> capability_since() const;

    histogram distribution() const;
    std::optional<control_chart> chart() const;

    std::vector<limit_pair> limits;    // distinct, in order of first appearance
    uint64_t limits_not_kept = 0;      // records whose distinct limits were past the cap
    limit_pair current;                // of the latest record
    std::vector<limit_change> changes; // the first ones, in time order
    uint64_t change_count = 0;

private:
    struct slot_values {
        bool seen = false;
        limit_pair limits;
        bool changed = false;
        local_seconds since = 0;
        running_spread earlier; // before the latest limit change
        running_spread window;  // since it
        bool has_last = false;
        double last = 0;
        double ranges = 0; // sum of the moving ranges in the window
        uint64_t range_count = 0;
    };

    void note_limits(const limit_pair& limits, slot_values& slot, local_seconds time);
    void note_change(const limit_change& change);
    running_spread all_values() const;

    uint64_t m_records = 0;
    limit_change m_last_change;
    std::array<slot_values, slots> m_slots;
    thousandth_counts m_counts;
    recent_values m_recent;
};

// Whether a value is gross as said above.
bool is_gross(double value, bool pass, const limit_pair& limits);

// min(high - mean, mean - low) / (3 sigma); nullopt without a finite figure.
std::optional<double> capability_index(const std::optional<double>& mean,
                                       const std::optional<double>& sigma,
                                       const limit_pair& limits);

} // namespace report
