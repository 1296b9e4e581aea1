#include "svg_charts.h"

#include "html_text.h"
#include "record_time.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace report {
namespace {

constexpr double width = 520;
constexpr double height = 170;
constexpr double left = 40;
constexpr double right = 10;
constexpr double top_margin = 16;
constexpr double bottom = 30;
constexpr double plot_width = width - left - right;
constexpr double plot_height = height - top_margin - bottom;

// Appends a coordinate with one decimal; the control charts hold hundreds of thousands, so
// it is written as whole tenths.
void append_num(std::string& out, double value) {
    const double scaled = value * 10;
    const auto tenths = static_cast<int64_t>(scaled + (scaled < 0 ? -0.5 : 0.5));
    if (tenths < 0) {
        out += '-';
    }
    const uint64_t magnitude = tenths < 0 ? 0 - static_cast<uint64_t>(tenths) : tenths;
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, magnitude / 10).ptr);
    out += '.';
    out += static_cast<char>('0' + magnitude % 10);
}

std::string num(double value) {
    std::string text;
    append_num(text, value);
    return text;
}

std::string open_svg(const char* title) {
    return "<svg class=\"chart\" viewBox=\"0 0 " + num(width) + " " + num(height) +
           "\" role=\"img\"><title>" + title + "</title><line class=\"axis\" x1=\"" + num(left) +
           "\" y1=\"" + num(height - bottom) + "\" x2=\"" + num(width - right) + "\" y2=\"" +
           num(height - bottom) + "\"/>";
}

std::string text_at(double x, double y, const std::string& safe, const char* cls = "") {
    return "<text class=\"" + std::string(cls) + "\" x=\"" + num(x) + "\" y=\"" + num(y) +
           "\" text-anchor=\"middle\">" + safe + "</text>";
}

std::string rect(double x, double y, double w, double h, const char* cls) {
    return "<rect class=\"" + std::string(cls) + "\" x=\"" + num(x) + "\" y=\"" + num(y) +
           "\" width=\"" + num(std::max(w, 0.5)) + "\" height=\"" + num(std::max(h, 0.0)) + "\"/>";
}

} // namespace

std::string svg_bars(const std::vector<bar>& bars, double top,
                     const std::vector<double>& cumulative) {
    std::string svg = open_svg("bars");
    if (top <= 0) {
        for (const bar& b : bars) {
            top = std::max(top, b.value);
        }
    }
    const double slot = plot_width / static_cast<double>(std::max<size_t>(bars.size(), 1));
    std::string line;
    for (size_t i = 0; i < bars.size(); ++i) {
        const double h = top > 0 ? bars[i].value / top * plot_height : 0;
        const double x = left + slot * static_cast<double>(i);
        const double y = height - bottom - h;
        svg += rect(x + slot * 0.15, y, slot * 0.7, h, "bar");
        svg += text_at(x + slot / 2, y - 3, bars[i].caption, "small");
        svg += text_at(x + slot / 2, height - bottom + 14, bars[i].label, "small");
        if (i < cumulative.size()) {
            line +=
                num(x + slot / 2) + "," + num(height - bottom - cumulative[i] * plot_height) + " ";
        }
    }
    if (!line.empty()) {
        svg += "<polyline class=\"cumulative\" points=\"" + line + "\"/>";
    }
    return svg + "</svg>";
}

std::string svg_histogram(const measurement_stats& stats) {
    const histogram h = stats.distribution();
    std::string svg = open_svg("histogram");
    if (h.empty()) {
        return svg + "</svg>";
    }
    // Two more bins for the values below and above.
    const auto bin_count = static_cast<double>(h.bins.size());
    const double bin_width = plot_width / (bin_count + 2);
    uint64_t top = std::max(h.below, h.above);
    for (const uint64_t count : h.bins) {
        top = std::max(top, count);
    }
    const auto column = [&](size_t index, uint64_t count, const char* cls) {
        const double bar_height =
            static_cast<double>(count) / static_cast<double>(top) * plot_height;
        return rect(left + bin_width * static_cast<double>(index), height - bottom - bar_height,
                    bin_width * 0.9, bar_height, cls);
    };
    svg += column(0, h.below, "outside");
    for (size_t i = 0; i < h.bins.size(); ++i) {
        svg += column(i + 1, h.bins[i], "bar");
    }
    svg += column(h.bins.size() + 1, h.above, "outside");
    const double low_edge = h.origin;
    const double high_edge = h.origin + h.width * bin_count;
    const auto x_of = [&](double value) {
        const double clamped = std::clamp(value, low_edge - h.width, high_edge + h.width);
        return left + bin_width * (1 + (clamped - low_edge) / h.width);
    };
    // A limit is drawn on the outer edge of its own thousandth, so a value on it is inside.
    constexpr double half = 0.0005;
    for (const limit_pair& limits : stats.limits) {
        const bool current = same_limits(limits, stats.current);
        for (const double limit : {limits.low - half, limits.high + half}) {
            if (std::isfinite(limit)) {
                svg += "<line class=\"" + std::string(current ? "limit" : "old-limit") +
                       "\" x1=\"" + num(x_of(limit)) + "\" y1=\"" + num(top_margin) + "\" x2=\"" +
                       num(x_of(limit)) + "\" y2=\"" + num(height - bottom) + "\"/>";
            }
        }
    }
    svg += text_at(left + bin_width, height - bottom + 14, value_text(low_edge + half), "small");
    svg += text_at(left + bin_width * (bin_count + 1), height - bottom + 14,
                   value_text(high_edge - half), "small");
    return svg + "</svg>";
}

namespace {

// One panel of the control chart: the points against a centre line and limits, the points
// beyond them marked.
std::string control_panel(const std::vector<double>& points, size_t first_index, size_t total,
                          double centre, const std::vector<double>& limits,
                          const std::vector<size_t>& out, double top, double panel_height) {
    double low = centre;
    double high = centre;
    for (const double value : points) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    for (const double limit : limits) {
        low = std::min(low, limit);
        high = std::max(high, limit);
    }
    if (high == low) {
        high = low + 1;
    }
    // Both panels on one x scale: a range stands under the later of its two values.
    const double step = plot_width / static_cast<double>(std::max<size_t>(total, 2) - 1);
    const auto x_of = [&](size_t i) { return left + step * static_cast<double>(i); };
    const auto y_of = [&](double value) {
        return top + (high - value) / (high - low) * panel_height;
    };
    std::string svg;
    const auto horizontal = [&](double value, const char* cls) {
        svg += "<line class=\"" + std::string(cls) + "\" x1=\"" + num(left) + "\" y1=\"" +
               num(y_of(value)) + "\" x2=\"" + num(width - right) + "\" y2=\"" + num(y_of(value)) +
               "\"/>";
    };
    horizontal(centre, "centre");
    for (const double limit : limits) {
        horizontal(limit, "control");
    }
    svg += "<polyline class=\"series\" points=\"";
    for (size_t i = 0; i < points.size(); ++i) {
        append_num(svg, x_of(i + first_index));
        svg += ',';
        append_num(svg, y_of(points[i]));
        svg += ' ';
    }
    svg += "\"/>";
    for (const size_t i : out) {
        svg += "<circle class=\"ooc\" cx=\"" + num(x_of(i)) + "\" cy=\"" +
               num(y_of(points[i - first_index])) + "\" r=\"3\"/>";
    }
    svg += text_at(left - 18, y_of(centre) + 3, value_text(centre), "small");
    return svg;
}

} // namespace

std::string svg_control_chart(const control_chart& chart) {
    constexpr double panel = 100;
    std::string svg = "<svg class=\"chart\" viewBox=\"0 0 " + num(width) + " " +
                      num(2 * panel + 60) + "\" role=\"img\"><title>control chart</title>";
    const size_t total = chart.values.size();
    svg += control_panel(chart.values, 0, total, chart.centre, {chart.lower, chart.upper},
                         chart.values_out, 10, panel);
    std::vector<double> ranges;
    for (size_t i = 1; i < chart.values.size(); ++i) {
        ranges.push_back(std::fabs(chart.values[i] - chart.values[i - 1]));
    }
    svg += control_panel(ranges, 1, total, chart.range_centre, {chart.range_upper},
                         chart.ranges_out, panel + 40, panel);
    svg += text_at(width / 2, panel + 28, "MR", "small");
    return svg + "</svg>";
}

std::string svg_throughput(const throughput& flow) {
    std::string svg = open_svg("throughput");
    if (flow.points.empty()) {
        return svg + "</svg>";
    }
    double top = 0;
    for (const throughput_point& point : flow.points) {
        top = std::max(top, point.per_hour);
    }
    const double step =
        flow.points.size() > 1 ? plot_width / static_cast<double>(flow.points.size() - 1) : 0;
    std::string line;
    for (size_t i = 0; i < flow.points.size(); ++i) {
        line += num(left + step * static_cast<double>(i)) + "," +
                num(height - bottom - flow.points[i].per_hour / top * plot_height) + " ";
    }
    svg += "<polyline class=\"flow\" points=\"" + line + "\"/>";
    svg += text_at(left - 18, top_margin + 4, value_text(top), "small");
    svg += text_at(left + 40, height - 8, format_time(flow.points.front().start).substr(0, 16),
                   "small");
    svg += text_at(width - right - 50, height - 8,
                   format_time(flow.points.back().start).substr(0, 16), "small");
    return svg + "</svg>";
}

} // namespace report
