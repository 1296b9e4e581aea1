#include "control_chart.h"

#include <cmath>

namespace report {

std::optional<control_chart> control_chart_of(std::vector<double> values, double centre,
                                              const std::optional<double>& sigma_within) {
    if (values.empty() || !sigma_within || !std::isfinite(*sigma_within)) {
        return std::nullopt;
    }
    control_chart chart;
    chart.values = std::move(values);
    chart.centre = centre;
    chart.lower = centre - 3 * *sigma_within;
    chart.upper = centre + 3 * *sigma_within;
    chart.range_centre = 1.128 * *sigma_within;
    chart.range_upper = 3.267 * chart.range_centre;
    for (size_t i = 0; i < chart.values.size(); ++i) {
        const double value = chart.values[i];
        if (value < chart.lower || value > chart.upper) {
            chart.values_out.push_back(i);
        }
        if (i > 0 && std::fabs(value - chart.values[i - 1]) > chart.range_upper) {
            chart.ranges_out.push_back(i);
        }
    }
    return chart;
}

} // namespace report
