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

// Every passing slot of a day 写入失败: no programming command, not a wall of bad boards.
std::string programming_warning(const station_report& station, const std::string& key) {
    const std::vector<int64_t> days = programming_off_days(station);
    if (days.empty()) {
        return "";
    }
    std::string list;
    for (size_t i = 0; i < days.size(); ++i) {
        list += (i == 0 ? "" : ", ") + std::string("<span data-k=\"") + key +
                "/programming_off_days/" + std::to_string(i) + "\">" + format_day(days[i]) +
                "</span>";
    }
    return "<p class=\"warning\">写入似乎未启用 <span class=\"en\">Programming looks switched "
           "off: every passing board of the day failed to program, as a station without a "
           "programming command records</span>: " +
           list + "</p>";
}

std::string totals(const station_report& station, const std::string& key) {
    const slot_figures sum = slot_totals(station);
    const board_figures& boards = station.boards;
    const auto count = [&](const char* name, uint64_t value) {
        return figure_cell(key + "/" + name, count_text(value));
    };
    const auto share = [&](const char* name, const std::optional<double>& value) {
        return figure_cell(key + "/" + name, percent_text(value));
    };
    return "<table class=\"overview\">" +
           row("测试记录", "Records (boards tested)", count("records", station.records)) +
           row("无结果记录", "Records without a result (no judgement line)",
               count("no_result", station.no_result)) +
           row("板数", "Distinct boards (QR codes)", count("boards", boards.boards)) +
           row("一次通过率", "First-pass yield",
               share("first_pass_yield", first_pass_yield(station))) +
           row("最终良率", "Final yield",
               share("final_yield", fraction(boards.final_pass, boards.boards))) +
           row("复测板数", "Boards retested", count("retested_boards", boards.retested)) +
           row("复测次数", "Retests", count("retests", boards.retests)) +
           row("无条码记录", "Records without QR code",
               count("records_without_qr", boards.without_qr)) +
           row("无条码记录良率", "Yield of records without QR code",
               share("records_without_qr_yield",
                     fraction(boards.without_qr_passed, boards.without_qr))) +
           row("无法追溯比例", "Untraceable share",
               share("untraceable_share", untraceable_share(station))) +
           row("写入成功", "Programmed", count("programmed_ok", sum.programmed_ok)) +
           row("写入失败", "Programming failed",
               count("programmed_failed", sum.programmed_failed)) +
           row("未写入", "Not programmed (test failed)",
               count("not_programmed", sum.not_programmed)) +
           row("写入良率", "Programming yield",
               share("programming_yield", programming_yield(station))) +
           row("综合良率", "Rolled yield (first pass × programming)",
               share("rolled_yield", rolled_yield(station))) +
           row("无法读取的文件", "Files not readable as records",
               count("unparsed", station.unparsed)) +
           "</table>" + programming_warning(station, key);
}

std::string slots(const station_report& station, const std::string& key) {
    std::string html =
        heading("夹具位置", "Fixture slots") + "<table class=\"sortable\"><thead><tr>" +
        label_cell("位置", "Slot", false) + label_cell("测试", "Tested") +
        label_cell("通过", "Passed") + label_cell("失败", "Failed") + label_cell("良率", "Yield") +
        label_cell("首测板数", "First tests") + label_cell("首测良率", "First-test yield") +
        label_cell("复测通过", "Passed on retest") + label_cell("无结果", "No result") +
        label_cell("写入成功", "Programmed") + label_cell("写入失败", "Prog. failed") +
        label_cell("未写入", "Not programmed") + label_cell("未使能", "Disabled") +
        "</tr></thead><tbody>";
    std::vector<bar> bars;
    for (size_t i = 0; i < station.slots.size(); ++i) {
        const slot_figures& slot = station.slots[i];
        const std::string slot_key = key + "/slots/" + std::to_string(i);
        const auto yield = fraction(slot.passed, slot.tested);
        const auto first_yield = fraction(slot.first_passed, slot.first_tested);
        const auto cell = [&](const char* name, uint64_t value) {
            return figure_cell(slot_key + "/" + name, count_text(value));
        };
        html += "<tr><td>" + std::to_string(i + 1) + "#</td>" + cell("tested", slot.tested) +
                cell("passed", slot.passed) + cell("failed", slot.failed) +
                figure_cell(slot_key + "/yield", percent_text(yield)) +
                cell("first_tested", slot.first_tested) +
                figure_cell(slot_key + "/first_test_yield", percent_text(first_yield)) +
                cell("retest_pass", station.boards.retest_pass[i]) +
                cell("no_result", slot.no_result) + cell("programmed_ok", slot.programmed_ok) +
                cell("programmed_failed", slot.programmed_failed) +
                cell("not_programmed", slot.not_programmed) + cell("disabled", slot.disabled) +
                "</tr>";
        bars.push_back(
            {std::to_string(i + 1) + "#", first_yield.value_or(0), percent_text(first_yield)});
    }
    html += "</tbody></table>";
    if (station.records_without_slot > 0) {
        html += "<p>无法确定位置的记录 <span class=\"en\">Records naming no slot</span>: <span "
                "data-k=\"" +
                key + "/records_without_slot\">" + count_text(station.records_without_slot) +
                "</span></p>";
    }
    return html + "<figure>" + svg_bars(bars, 1.0) +
           "<figcaption>各位置首测良率 <span class=\"en\">first-test yield per slot (retests "
           "left out)</span></figcaption></figure>";
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
    html += "</tbody></table>";
    return html;
}

std::string daily(const station_report& station, const std::string& key) {
    std::string html = heading("每日", "Days") + "<table class=\"sortable\"><thead><tr>" +
                       label_cell("日期", "Day", false) + label_cell("记录", "Records") +
                       label_cell("首测板数", "Boards first tested") +
                       label_cell("一次通过率", "First-pass yield") + "</tr></thead><tbody>";
    size_t index = 0;
    for (const auto& [day, figures] : station.days) {
        const std::string entry = key + "/daily/" + std::to_string(index++);
        html += "<tr><td data-k=\"" + entry + "/day\">" + format_day(day) + "</td>" +
                figure_cell(entry + "/records", count_text(figures.records)) +
                figure_cell(entry + "/boards", count_text(figures.boards)) +
                figure_cell(entry + "/first_pass_yield",
                            percent_text(fraction(figures.first_pass, figures.boards))) +
                "</tr>";
    }
    html += "</tbody></table>";
    return html;
}

} // namespace

std::string station_overview(const station_report& station, const std::string& key) {
    return totals(station, key) + slots(station, key) + tests_per_board(station, key) +
           daily(station, key);
}

} // namespace report
