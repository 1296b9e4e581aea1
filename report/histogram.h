#pragma once
// The distribution of a measurement's values, in bins chosen after reading: they span the
// values and the limits, each a whole number of thousandths wide (the records' resolution),
// with edges half a thousandth off the printed values so that no value sits on an edge.
// Where the tolerance allows, a bin starts at the lower limit and one ends at the upper, so
// a value exactly on a limit is counted inside it.
#include "measurement_limits.h"
#include "thousandth_counts.h"

#include <cstdint>
#include <vector>

namespace report {

struct histogram {
    static constexpr int64_t target_bins = 40;

    double origin = 0; // the lower edge of the first bin
    double width = 0;  // of one bin; 0 without values
    std::vector<uint64_t> bins;
    uint64_t below = 0; // values too large to count in thousandths
    uint64_t above = 0;

    bool empty() const { return bins.empty(); }
};

histogram histogram_of(const thousandth_counts& counts, const limit_pair& limits);

} // namespace report
