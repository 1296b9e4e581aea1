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

std::string first_test_pareto(const station_report& station, const std::string& key) {
    const std::vector<first_test_entry> entries = pareto_first_test_of(station);
    if (entries.empty()) {
        return "";
    }
    std::string html =
        heading("首测失败项排列", "Pareto of first-test fails (what drives "
                                  "first-pass yield)") +
        "<table class=\"sortable\"><thead><tr>" + label_cell("测试项", "Measurement", false) +
        label_cell("失败次数", "Fails") + label_cell("板数", "Boards") + "</tr></thead><tbody>";
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string entry_key = key + "/pareto_first_test/" + std::to_string(i);
        html += "<tr><td data-k=\"" + entry_key + "/name\">" + html_text(entries[i].name) +
                "</td>" + figure_cell(entry_key + "/fails", count_text(entries[i].fails)) +
                figure_cell(entry_key + "/boards", count_text(entries[i].boards)) + "</tr>";
    }
    html += "</tbody></table>";
    return html;
}

std::string flags(const measurement_stats& stats) {
    std::string text;
    if (cpk_low(stats.pooled())) {
        text += "<span class=\"flag\">Cpk&lt;1.33</span> ";
    }
    if (const auto since = stats.capability_since()) {
        text += "<span class=\"flag\">限值变更 limits changed</span> Cpk " + format_time(*since) +
                " 起 <span class=\"en\">since</span>";
    }
    if (stats.gross > 0) {
        text += " <span class=\"flag\">粗大 gross " + count_text(stats.gross) + "</span>";
    }
    return text;
}

std::string statistics(const station_report& station, const std::string& key) {
    std::string html =
        heading("测试项统计", "Measurements") +
        "<p class=\"en\">Cpk: 组内 σ (平均移动极差 / 1.128) within sigma (average moving range "
        "/ 1.128); Ppk: 总体 σ overall sigma; 粗大值 (无数值, 超出限值一个公差以上) 不计入 "
        "gross values (no number, or beyond a limit by more than the tolerance) are in no "
        "figure but the fails</p><table class=\"sortable\"><thead><tr>" +
        label_cell("测试项", "Measurement", false) + label_cell("单位", "Unit", false) +
        label_cell("数量", "Count") + label_cell("粗大", "Gross") + label_cell("失败", "Fails") +
        label_cell("平均", "Mean") + label_cell("标准差", "Std dev") +
        label_cell("组内σ", "Within σ") + label_cell("最小", "Min") + label_cell("最大", "Max") +
        label_cell("限值", "Limits", false) + label_cell("Cpk", "") + label_cell("Ppk", "") +
        label_cell("失控点", "Out of control") + label_cell("标记", "Flags", false) +
        "</tr></thead><tbody>";
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
        const auto chart = stats.chart();
        html +=
            std::string(cpk_low(pooled) ? "<tr class=\"low\">" : "<tr>") + "<td><a href=\"#" + m +
            "\" data-k=\"" + m + "/name\">" + html_text(measurement.name) +
            "</a></td><td data-k=\"" + m + "/unit\">" + html_text(stats.unit) + "</td>" +
            figure_cell(m + "/count", count_text(stats.count)) +
            figure_cell(m + "/gross", count_text(stats.gross)) +
            figure_cell(m + "/fails", count_text(stats.fails)) +
            figure_cell(m + "/mean", value_text(stats.mean())) +
            figure_cell(m + "/stddev", value_text(stats.stddev())) +
            figure_cell(m + "/sigma_within", value_text(pooled.sigma_within)) +
            figure_cell(m + "/min", seen ? value_text(stats.min) : "–") +
            figure_cell(m + "/max", seen ? value_text(stats.max) : "–") + "<td>" + limits +
            "</td>" + figure_cell(m + "/cpk", value_text(pooled.cpk)) +
            figure_cell(m + "/ppk", value_text(pooled.ppk)) +
            figure_cell(m + "/out_of_control", count_text(chart ? chart->out_of_control() : 0)) +
            "<td>" + flags(stats) + "</td></tr>";
    }
    html += "</tbody></table>";
    return html;
}

// Each slot's mean and Cpk side by side: one slot's offset shows here.
std::string by_slot(const station_report& station, const std::string& key) {
    std::string html = heading("各位置能力", "Capability per slot") +
                       "<table class=\"sortable\"><thead><tr>" +
                       label_cell("测试项", "Measurement", false);
    for (int slot = 1; slot <= measurement_stats::slots; ++slot) {
        const std::string name = std::to_string(slot) + "#";
        html += label_cell(name + " 平均", "mean") + label_cell(name + " Cpk", "");
    }
    html += "</tr></thead><tbody>";
    for (size_t i = 0; i < station.measurements.size(); ++i) {
        const measurement_stats& stats = station.measurements[i].stats;
        const std::string m = key + "/measurements/" + std::to_string(i);
        html += "<tr><td>" + html_text(station.measurements[i].name) + "</td>";
        size_t index = 0; // in by_slot, which lists the slots with values
        for (int slot = 1; slot <= measurement_stats::slots; ++slot) {
            const capability figures = stats.of_slot(slot);
            if (figures.count == 0) {
                html += "<td class=\"n\">–</td><td class=\"n\">–</td>";
                continue;
            }
            const std::string entry = m + "/by_slot/" + std::to_string(index++);
            html += figure_cell(entry + "/mean", value_text(figures.mean)) +
                    figure_cell(entry + "/cpk", value_text(figures.cpk));
        }
        html += "</tr>";
    }
    html += "</tbody></table>";
    return html;
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
        heading("分布与控制图", "Distributions and control charts") +
        "<p class=\"en\">红线: 当前限值 current limits; 灰线: 之前的限值 earlier "
        "limits; 两端: 超出范围的值 values outside the range. 控制图: 最近 500 个值与移动极差, "
        "中心线与 ±3σ (组内) 控制限, 红点为失控点 control chart: the last 500 values and their "
        "moving ranges, centre lines and 3-sigma (within) limits, red points out of "
        "control</p><div class=\"grid\">";
    for (size_t i = 0; i < station.measurements.size(); ++i) {
        const named_measurement& measurement = station.measurements[i];
        const auto chart = measurement.stats.chart();
        html += "<figure id=\"" + key + "/measurements/" + std::to_string(i) + "\">" +
                svg_histogram(measurement.stats) + (chart ? svg_control_chart(*chart) : "") +
                "<figcaption>" + html_text(measurement.name) + " " +
                html_text(measurement.stats.unit) + "</figcaption></figure>";
    }
    html += "</div>";
    return html;
}

} // namespace

std::string measurement_sections(const station_report& station, const std::string& key) {
    std::string html = pareto(station, key);
    html += first_test_pareto(station, key);
    html += statistics(station, key);
    html += by_slot(station, key);
    html += limit_changes(station);
    html += histograms(station, key);
    return html;
}

} // namespace report
