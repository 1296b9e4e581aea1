#pragma once
// The page's plots as inline SVG: bars, a histogram with its limits, a control chart, a line
// over time. The
// labels given are text from files already made safe with html_text.
#include "derived_figures.h"
#include "measurement_stats.h"

#include <string>
#include <vector>

namespace report {

struct bar {
    std::string label; // safe for the page
    double value = 0;
    std::string caption; // shown above the bar, safe for the page
};

// Bars scaled to `top` (the largest value when 0); with `cumulative` (fractions, one per
// bar) a Pareto line over them.
std::string svg_bars(const std::vector<bar>& bars, double top,
                     const std::vector<double>& cumulative = {});
// The distribution with every distinct limit drawn, values outside the bins at the ends.
std::string svg_histogram(const measurement_stats& stats);
// The individuals chart above, the moving ranges below, points beyond the limits marked.
std::string svg_control_chart(const control_chart& chart);
// Records per hour over the period.
std::string svg_throughput(const throughput& flow);

} // namespace report
