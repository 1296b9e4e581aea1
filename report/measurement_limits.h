#pragma once
// The limits of a measurement as one record printed them.
#include "record_time.h"

#include <cmath>

namespace report {

struct limit_pair {
    double low = 0;
    double high = 0;
};

// Equal as printed: two limits that are not numbers are the same limits.
inline bool same_limits(const limit_pair& a, const limit_pair& b) {
    const auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
    return same(a.low, b.low) && same(a.high, b.high);
}

struct limit_change {
    local_seconds time = 0; // of the first record with the new limits
    limit_pair from;
    limit_pair to;
};

} // namespace report
