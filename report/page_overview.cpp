// A station's counts, yields and fixture slots side by side.
#include "derived_figures.h"
#include "html_text.h"
#include "page_parts.h"
#include "svg_charts.h"

namespace report {
namespace {

std::string row(std::string_view chinese, std::string_view english, const std::string& cell) {
    return "<tr><th>" + std::string(chinese) + " <span class=\"en\">" + std::string(english) +
           "</span></th>" + cell + "</tr>";
}

std::string totals(const station_report& station, const std::string& key) {
    const slot_figures sum = slot_totals(station);
    const board_figures& boards = station.boards;
    const auto count = [&](const char* name, uint64_t value) {
        return figure_cell(key + "/" + name, count_text(value));
    };
    return "<table class=\"overview\">" +
           row("测试记录", "Records (boards tested)", count("records", station.records)) +
           row("板数", "Distinct boards", count("boards", boards.boards)) +
           row("一次通过率", "First-pass yield",
               figure_cell(key + "/first_pass_yield",
                           percent_text(fraction(boards.first_pass, boards.boards)))) +
           row("最终良率", "Final yield",
               figure_cell(key + "/final_yield",
                           percent_text(fraction(boards.final_pass, boards.boards)))) +
           row("复测板数", "Boards retested", count("retested_boards", boards.retested)) +
           row("复测次数", "Retests", count("retests", boards.retests)) +
           row("无条码记录", "Records without QR code",
               count("records_without_qr", boards.without_qr)) +
           row("写入成功", "Programmed", count("programmed_ok", sum.programmed_ok)) +
           row("写入失败", "Programming failed",
               count("programmed_failed", sum.programmed_failed)) +
           row("未写入", "Not programmed (test failed)",
               count("not_programmed", sum.not_programmed)) +
           row("无法读取的文件", "Files not readable as records",
               count("unparsed", station.unparsed)) +
           "</table>";
}

std::string slots(const station_report& station, const std::string& key) {
    std::string html =
        heading("夹具位置", "Fixture slots") + "<table class=\"sortable\"><thead><tr>" +
        label_cell("位置", "Slot", false) + label_cell("测试", "Tested") +
        label_cell("通过", "Passed") + label_cell("失败", "Failed") + label_cell("良率", "Yield") +
        label_cell("写入成功", "Programmed") + label_cell("写入失败", "Prog. failed") +
        label_cell("未写入", "Not programmed") + label_cell("未使能", "Disabled") +
        "</tr></thead><tbody>";
    std::vector<bar> bars;
    for (size_t i = 0; i < station.slots.size(); ++i) {
        const slot_figures& slot = station.slots[i];
        const std::string slot_key = key + "/slots/" + std::to_string(i);
        const auto yield = fraction(slot.passed, slot.tested);
        const auto cell = [&](const char* name, uint64_t value) {
            return figure_cell(slot_key + "/" + name, count_text(value));
        };
        html += "<tr><td>" + std::to_string(i + 1) + "#</td>" + cell("tested", slot.tested) +
                cell("passed", slot.passed) + cell("failed", slot.failed) +
                figure_cell(slot_key + "/yield", percent_text(yield)) +
                cell("programmed_ok", slot.programmed_ok) +
                cell("programmed_failed", slot.programmed_failed) +
                cell("not_programmed", slot.not_programmed) + cell("disabled", slot.disabled) +
                "</tr>";
        bars.push_back({std::to_string(i + 1) + "#", yield.value_or(0), percent_text(yield)});
    }
    html += "</tbody></table>";
    if (station.records_without_slot > 0) {
        html += "<p>无法确定位置的记录 <span class=\"en\">Records naming no slot</span>: <span "
                "data-k=\"" +
                key + "/records_without_slot\">" + count_text(station.records_without_slot) +
                "</span></p>";
    }
    return html + "<figure>" + svg_bars(bars, 1.0) +
           "<figcaption>各位置良率 <span class=\"en\">yield per slot</span></figcaption></figure>";
}

std::string tests_per_board(const station_report& station, const std::string& key) {
    std::string html = heading("每板测试次数", "Tests per board") + "<table><thead><tr>" +
                       label_cell("测试次数", "Times tested") + label_cell("板数", "Boards") +
                       label_cell("至少该次数", "Boards tested at least this often") +
                       "</tr></thead><tbody>";
    uint64_t at_least = station.boards.boards;
    size_t index = 0;
    for (const auto& [tests, boards] : station.boards.tests_per_board) {
        const std::string entry = key + "/tests_per_board/" + std::to_string(index++);
        html += "<tr>" + figure_cell(entry + "/tests", count_text(tests)) +
                figure_cell(entry + "/boards", count_text(boards)) +
                figure_cell(entry + "/at_least", count_text(at_least)) + "</tr>";
        at_least -= boards;
    }
    return html + "</tbody></table>";
}

} // namespace

std::string station_overview(const station_report& station, const std::string& key) {
    return totals(station, key) + slots(station, key) + tests_per_board(station, key);
}

} // namespace report
