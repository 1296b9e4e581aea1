// The failing measurements' Pareto, every measurement's statistics with its histogram, and
// the limits that changed.
#include "derived_figures.h"
#include "html_text.h"
#include "page_parts.h"
#include "svg_charts.h"

namespace report {
namespace {

std::string limits_text(const limit_pair& limits) {
    return value_text(limits.low) + " … " + value_text(limits.high);
}

std::string pareto(const station_report& station, const std::string& key) {
    const std::vector<pareto_entry> entries = pareto_of(station);
    std::string html = heading("失败项排列", "Pareto of failing measurements");
    if (entries.empty()) {
        return html + "<p>无失败 <span class=\"en\">No fails</span></p>";
    }
    html += "<table class=\"sortable\"><thead><tr>" + label_cell("测试项", "Measurement", false) +
            label_cell("失败次数", "Fails") + label_cell("占比", "Share") +
            label_cell("累计占比", "Cumulative") + "</tr></thead><tbody>";
    std::vector<bar> bars;
    std::vector<double> cumulative;
    for (size_t i = 0; i < entries.size(); ++i) {
        const pareto_entry& entry = entries[i];
        const std::string entry_key = key + "/pareto/" + std::to_string(i);
        html += "<tr><td data-k=\"" + entry_key + "/name\">" + html_text(entry.name) + "</td>" +
                figure_cell(entry_key + "/fails", count_text(entry.fails)) +
                figure_cell(entry_key + "/share", percent_text(entry.share)) +
                figure_cell(entry_key + "/cumulative_share", percent_text(entry.cumulative)) +
                "</tr>";
        if (i < 20) {
            bars.push_back(
                {html_text(entry.name), static_cast<double>(entry.fails), count_text(entry.fails)});
            cumulative.push_back(entry.cumulative);
        }
    }
    // Scaled to all fails, so that the cumulative line ends at the top.
    const double all_fails = static_cast<double>(entries[0].fails) / entries[0].share;
    return html + "</tbody></table><figure>" + svg_bars(bars, all_fails, cumulative) +
           "<figcaption>前 20 项与累计占比 <span class=\"en\">top 20 and cumulative "
           "share</span></figcaption></figure>";
}

std::string flags(const measurement_stats& stats) {
    std::string text;
    if (cpk_low(stats.pooled())) {
        text += "<span class=\"flag\">Cpk&lt;1.33</span> ";
    }
    if (stats.change_count > 0) {
        text += "<span class=\"flag\">限值变更 limits changed</span>";
    }
    return text;
}

std::string statistics(const station_report& station, const std::string& key) {
    std::string html =
        heading("测试项统计", "Measurements") + "<table class=\"sortable\"><thead><tr>" +
        label_cell("测试项", "Measurement", false) + label_cell("单位", "Unit", false) +
        label_cell("数量", "Count") + label_cell("失败", "Fails") + label_cell("平均", "Mean") +
        label_cell("标准差", "Std dev") + label_cell("最小", "Min") + label_cell("最大", "Max") +
        label_cell("限值", "Limits", false) + label_cell("Cpk", "") +
        label_cell("标记", "Flags", false) + "</tr></thead><tbody>";
    for (size_t i = 0; i < station.measurements.size(); ++i) {
        const named_measurement& measurement = station.measurements[i];
        const measurement_stats& stats = measurement.stats;
        const std::string m = key + "/measurements/" + std::to_string(i);
        const bool seen = stats.count > 0;
        std::string limits;
        for (const limit_pair& pair : stats.limits) {
            limits += (limits.empty() ? "" : "<br>") + limits_text(pair);
        }
        const capability pooled = stats.pooled();
        html += std::string(cpk_low(pooled) ? "<tr class=\"low\">" : "<tr>") + "<td><a href=\"#" +
                m + "\" data-k=\"" + m + "/name\">" + html_text(measurement.name) +
                "</a></td><td data-k=\"" + m + "/unit\">" + html_text(stats.unit) + "</td>" +
                figure_cell(m + "/count", count_text(stats.count)) +
                figure_cell(m + "/fails", count_text(stats.fails)) +
                figure_cell(m + "/mean", value_text(stats.mean())) +
                figure_cell(m + "/stddev", value_text(stats.stddev())) +
                figure_cell(m + "/min", seen ? value_text(stats.min) : "–") +
                figure_cell(m + "/max", seen ? value_text(stats.max) : "–") + "<td>" + limits +
                "</td>" + figure_cell(m + "/cpk", value_text(pooled.cpk)) + "<td>" + flags(stats) +
                "</td></tr>";
    }
    return html + "</tbody></table>";
}

std::string limit_changes(const station_report& station) {
    std::string rows;
    for (const named_measurement& measurement : station.measurements) {
        for (const limit_change& change : measurement.stats.changes) {
            rows += "<tr><td>" + html_text(measurement.name) + "</td><td>" +
                    format_time(change.time) + "</td><td>" + limits_text(change.from) +
                    "</td><td>" + limits_text(change.to) + "</td></tr>";
        }
    }
    if (rows.empty()) {
        return "";
    }
    return heading("限值变更", "Limit changes") + "<table class=\"sortable\"><thead><tr>" +
           label_cell("测试项", "Measurement", false) +
           label_cell("时间", "From record at", false) +
           label_cell("原限值", "Limits before", false) +
           label_cell("新限值", "Limits after", false) + "</tr></thead><tbody>" + rows +
           "</tbody></table>";
}

std::string histograms(const station_report& station, const std::string& key) {
    std::string html =
        heading("分布", "Distributions") +
        "<p class=\"en\">红线: 当前限值 current limits; 灰线: 之前的限值 earlier "
        "limits; 两端: 超出范围的值 values outside the range</p><div class=\"grid\">";
    for (size_t i = 0; i < station.measurements.size(); ++i) {
        const named_measurement& measurement = station.measurements[i];
        html += "<figure id=\"" + key + "/measurements/" + std::to_string(i) + "\">" +
                svg_histogram(measurement.stats) + "<figcaption>" + html_text(measurement.name) +
                " " + html_text(measurement.stats.unit) + "</figcaption></figure>";
    }
    return html + "</div>";
}

} // namespace

std::string measurement_sections(const station_report& station, const std::string& key) {
    return pareto(station, key) + statistics(station, key) + limit_changes(station) +
           histograms(station, key);
}

} // namespace report
