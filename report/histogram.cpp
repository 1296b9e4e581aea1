#include "histogram.h"

#include <algorithm>

namespace report {

void histogram::add(double value, const limit_pair& limits) {
    if (width == 0) {
        const double span = limits.high - limits.low;
        if (std::isfinite(span) && span > 0) {
            origin = limits.low - span / 4;
            width = span * 1.5 / bin_count;
        } else {
            const double half = std::max(std::fabs(value) * 0.1, 0.001);
            origin = value - half;
            width = 2 * half / bin_count;
        }
    }
    const double position = (value - origin) / width;
    if (position < 0) {
        ++below;
    } else if (position >= bin_count) {
        ++above;
    } else {
        ++bins[static_cast<size_t>(position)];
    }
}

} // namespace report
