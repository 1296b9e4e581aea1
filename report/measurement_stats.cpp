#include "measurement_stats.h"

#include <algorithm>
#include <cmath>

namespace report {

bool is_gross(double value, bool pass, const limit_pair& limits) {
    if (!std::isfinite(value) || (!pass && value == 0)) {
        return true;
    }
    const double span = limits.high - limits.low;
    return std::isfinite(span) && (value < limits.low - span || value > limits.high + span);
}

std::optional<double> capability_index(const std::optional<double>& mean,
                                       const std::optional<double>& sigma,
                                       const limit_pair& limits) {
    if (!mean || !sigma || *sigma == 0 || std::isnan(limits.low) || std::isnan(limits.high)) {
        return std::nullopt;
    }
    // A limit of inf leaves the other side alone (a one-sided limit).
    const double index = std::min(limits.high - *mean, *mean - limits.low) / (3 * *sigma);
    return std::isfinite(index) ? std::optional<double>(index) : std::nullopt;
}

void measurement_stats::add(double value, bool pass, const limit_pair& limits, int slot,
                            std::string_view unit_text, local_seconds time) {
    if (m_records++ == 0) {
        unit = unit_text;
    }
    slot_values& values = m_slots[static_cast<size_t>(std::clamp(slot, 1, slots) - 1)];
    // Limits as before in the slot and in the latest record: nothing to note, the usual case.
    if (!values.seen || !same_limits(limits, values.limits) || !same_limits(limits, current)) {
        note_limits(limits, values, time);
    }
    fails += pass ? 0 : 1;
    if (is_gross(value, pass, limits)) {
        ++gross;
        not_finite += std::isfinite(value) ? 0 : 1;
        return;
    }
    min = count == 0 ? value : std::min(min, value);
    max = count == 0 ? value : std::max(max, value);
    ++count;
    values.window.add(value);
    if (values.has_last) {
        values.ranges += std::fabs(value - values.last);
        ++values.range_count;
    }
    values.has_last = true;
    values.last = value;
    m_counts.add(value);
    m_recent.add(value);
}

void measurement_stats::note_limits(const limit_pair& limits_now, slot_values& slot,
                                    local_seconds time) {
    const bool known_here = slot.seen && same_limits(limits_now, slot.limits);
    if (!known_here && slot.seen) {
        note_change({time, slot.limits, limits_now});
        slot.earlier.merge(slot.window);
        slot.window = {};
        slot.has_last = false;
        slot.ranges = 0;
        slot.range_count = 0;
        slot.changed = true;
        slot.since = time;
    }
    slot.seen = true;
    slot.limits = limits_now;
    if (known_here && same_limits(limits_now, current)) {
        return;
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

void measurement_stats::note_change(const limit_change& change) {
    // The slots of one cycle changing alike are one change.
    if (change_count > 0 && change.time == m_last_change.time &&
        same_limits(change.from, m_last_change.from) && same_limits(change.to, m_last_change.to)) {
        return;
    }
    ++change_count;
    m_last_change = change;
    if (changes.size() < max_changes_kept) {
        changes.push_back(change);
    }
}

running_spread measurement_stats::all_values() const {
    running_spread all;
    for (const slot_values& slot : m_slots) {
        all.merge(slot.earlier);
        all.merge(slot.window);
    }
    return all;
}

std::optional<double> measurement_stats::mean() const {
    return all_values().mean();
}

std::optional<double> measurement_stats::stddev() const {
    return all_values().stddev();
}

namespace {

capability capability_of(const running_spread& values, double ranges, uint64_t range_count,
                         const limit_pair& limits) {
    capability figures;
    figures.count = values.count();
    figures.mean = values.mean();
    figures.stddev = values.stddev();
    if (range_count > 0) {
        figures.sigma_within = ranges / static_cast<double>(range_count) / 1.128;
    }
    figures.cpk = capability_index(figures.mean, figures.sigma_within, limits);
    figures.ppk = capability_index(figures.mean, figures.stddev, limits);
    return figures;
}

} // namespace

capability measurement_stats::pooled() const {
    running_spread window;
    double ranges = 0;
    uint64_t range_count = 0;
    for (const slot_values& slot : m_slots) {
        if (slot.seen && same_limits(slot.limits, current)) {
            window.merge(slot.window);
            ranges += slot.ranges;
            range_count += slot.range_count;
        }
    }
    return capability_of(window, ranges, range_count, current);
}

capability measurement_stats::of_slot(int slot) const {
    const slot_values& values = m_slots[static_cast<size_t>(slot - 1)];
    return capability_of(values.window, values.ranges, values.range_count, values.limits);
}

std::optional<local_seconds> measurement_stats::capability_since() const {
    std::optional<local_seconds> since;
    for (const slot_values& slot : m_slots) {
        if (slot.changed) {
            since = std::max(since.value_or(slot.since), slot.since);
        }
    }
    return since;
}

histogram measurement_stats::distribution() const {
    return histogram_of(m_counts, current);
}

std::optional<control_chart> measurement_stats::chart() const {
    const capability figures = pooled();
    return figures.mean ? control_chart_of(m_recent.in_order(), *figures.mean, figures.sigma_within)
                        : std::nullopt;
}

} // namespace report
