#include "measurement_stats.h"

#include <algorithm>

namespace report {

void measurement_stats::add(double value, bool pass, const limit_pair& limits,
                            std::string_view unit_text, local_seconds time) {
    if (records++ == 0) {
        unit = unit_text;
    }
    note_limits(limits, time);
    fails += pass ? 0 : 1;
    if (!std::isfinite(value)) {
        ++not_finite;
        return;
    }
    min = count == 0 ? value : std::min(min, value);
    max = count == 0 ? value : std::max(max, value);
    ++count;
    const double delta = value - running_mean;
    running_mean += delta / static_cast<double>(count);
    squares += delta * (value - running_mean);
    distribution.add(value, limits);
}

void measurement_stats::note_limits(const limit_pair& limits_now, local_seconds time) {
    if (records > 1) {
        if (same_limits(limits_now, current)) {
            return;
        }
        ++change_count;
        if (changes.size() < max_changes_kept) {
            changes.push_back({time, current, limits_now});
        }
    }
    current = limits_now;
    const bool known = std::any_of(limits.begin(), limits.end(), [&](const limit_pair& seen) {
        return same_limits(seen, limits_now);
    });
    if (!known) {
        if (limits.size() < max_limits_kept) {
            limits.push_back(limits_now);
        } else {
            ++limits_not_kept;
        }
    }
}

std::optional<double> measurement_stats::mean() const {
    return count == 0 ? std::nullopt : std::optional<double>(running_mean);
}

std::optional<double> measurement_stats::stddev() const {
    return count < 2 ? std::nullopt
                     : std::optional<double>(std::sqrt(squares / static_cast<double>(count - 1)));
}

std::optional<double> measurement_stats::cpk() const {
    const auto sigma = stddev();
    if (!sigma || *sigma == 0 || std::isnan(current.low) || std::isnan(current.high)) {
        return std::nullopt;
    }
    // A limit of inf leaves the other side alone (a one-sided limit); nan gives no figure.
    const double index =
        std::min(current.high - running_mean, running_mean - current.low) / (3 * *sigma);
    return std::isfinite(index) ? std::optional<double>(index) : std::nullopt;
}

} // namespace report
