// Throughput over the period, the history of retested boards, and the files that could not
// be read.
#include "derived_figures.h"
#include "html_text.h"
#include "page_parts.h"
#include "svg_charts.h"

namespace report {
namespace {

std::string flow(const station_report& station, const std::string& key) {
    const throughput points = throughput_of(station);
    return heading("产能", "Throughput") + "<figure>" + svg_throughput(points) +
           "<figcaption>每小时测试板数 <span class=\"en\">boards per hour</span>, <span data-k=\"" +
           key + "/throughput/bucket_hours\">" + std::to_string(points.bucket_hours) +
           "</span> 小时一格 <span class=\"en\">hours a point</span></figcaption></figure>";
}

std::string histories(const station_report& station, const std::string& key) {
    const board_figures& boards = station.boards;
    std::string html = heading("复测板历史", "History of retested boards");
    if (boards.histories.empty()) {
        return html + "<p>无复测 <span class=\"en\">No board was retested</span></p>";
    }
    html += "<table><thead><tr>" + label_cell("条码", "QR code", false) +
            label_cell("次数", "Tests") + label_cell("时间", "Time", false) +
            label_cell("位置", "Slot") + label_cell("结果", "Result", false) +
            label_cell("失败项", "Failed", false) + "</tr></thead><tbody>";
    for (size_t i = 0; i < boards.histories.size(); ++i) {
        const board_history& history = boards.histories[i];
        const std::string h = key + "/board_histories/" + std::to_string(i);
        const std::string span = std::to_string(history.kept.size());
        for (size_t j = 0; j < history.kept.size(); ++j) {
            const board_test& test = history.kept[j];
            html += "<tr>";
            if (j == 0) {
                html += "<td rowspan=\"" + span + "\" data-k=\"" + h + "/qr\">" +
                        html_text(history.qr) + "</td><td class=\"n\" rowspan=\"" + span +
                        "\" data-k=\"" + h + "/tests\">" + count_text(history.tests) + "</td>";
            }
            html += "<td>" + format_time(test.time) + "</td><td class=\"n\">" +
                    (test.slot == 0 ? "?" : std::to_string(test.slot) + "#") + "</td>" +
                    (test.pass ? "<td class=\"pass\">PASS</td>" : "<td class=\"fail\">FAIL</td>") +
                    "<td>" + html_text(test.failed) + "</td></tr>";
        }
    }
    html += "</tbody></table>";
    if (boards.histories_left_out > 0) {
        html += "<p>另有 <span data-k=\"" + key + "/board_histories_left_out\">" +
                count_text(boards.histories_left_out) +
                "</span> 块复测板见 boards.csv <span class=\"en\">more retested boards are in "
                "boards.csv</span></p>";
    }
    return html;
}

std::string unparsed(const station_report& station) {
    if (station.unparsed == 0) {
        return "";
    }
    std::string html = heading("无法读取的文件", "Files not readable as records") +
                       "<table><thead><tr>" + label_cell("文件", "File", false) +
                       label_cell("原因", "Reason", false) + "</tr></thead><tbody>";
    for (const unparsed_file& file : station.unparsed_files) {
        html +=
            "<tr><td>" + html_text(file.file) + "</td><td>" + html_text(file.reason) + "</td></tr>";
    }
    html += "</tbody></table>";
    if (station.unparsed > station.unparsed_files.size()) {
        html +=
            "<p>… " + count_text(station.unparsed - station.unparsed_files.size()) + " more</p>";
    }
    return html;
}

} // namespace

std::string history_sections(const station_report& station, const std::string& key) {
    return flow(station, key) + histories(station, key) + unparsed(station);
}

} // namespace report
