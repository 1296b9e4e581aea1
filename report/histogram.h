#pragma once
// The distribution of a measurement's values, counted as they stream by. The bins are fixed
// by the first limits seen (a quarter of their span beyond each side), so the limits stand
// where an engineer looks for them and one wild value cannot squeeze the rest into a bar;
// values outside the bins are counted below and above.
#include "measurement_limits.h"

#include <array>
#include <cstdint>

namespace report {

class histogram {
public:
    static constexpr int bin_count = 36;

    // Counts `value` (a finite number); the first call fixes the bins from `limits`, or
    // around the value when the limits give no span.
    void add(double value, const limit_pair& limits);

    bool empty() const { return width == 0; }

    double origin = 0; // the lower edge of the first bin
    double width = 0;  // of one bin; 0 before the first value
    std::array<uint64_t, bin_count> bins{};
    uint64_t below = 0;
    uint64_t above = 0;
};

} // namespace report
