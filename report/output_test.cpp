// What the outputs make of hostile or odd text and figures from the records.
#include "csv.h"
#include "csv_files.h"
#include "html_text.h"
#include "report_page.h"
#include "summary_json.h"

#include "posix/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <iterator>

namespace report {
namespace {

report_data hostile_report() {
    station_report station;
    station.name = "ST<1>";
    station.records = 1;
    station.unparsed = 1;
    station.unparsed_files.push_back({"qel_data/x/<!--.txt", "line 1: <img src=x onerror=1>"});
    named_measurement measurement{"<b>R\"1'&", {}};
    measurement.stats.add(INFINITY, false, {NAN, 1}, 1, "k\x01\xFF", 0);
    station.measurements.push_back(measurement);
    station.boards.histories.push_back(
        {"</td><script>", 2, {{0, 1, false, "<i>"}, {1, 2, true, ""}}});
    return {{}, {station}};
}

TEST(ReportPage, TextFromFilesNeverBecomesMarkup) {
    std::string page;
    write_report_page(hostile_report(), [&](std::string_view piece) { page += piece; });
    for (const char* raw :
         {"<b>", "<!--", "<img", "</td><script>", "<i>", "ST<1>", "\x01", "\xFF"}) {
        EXPECT_EQ(page.find(raw), std::string::npos) << raw;
    }
    for (const char* escaped : {"&lt;b&gt;R&quot;1&#39;&amp;", "&lt;/td&gt;&lt;script&gt;",
                                "&lt;img src=x onerror=1&gt;", "k&#xFFFD;\xEF\xBF\xBD"}) {
        EXPECT_NE(page.find(escaped), std::string::npos) << escaped;
    }
}

TEST(ReportPage, AYieldShortOfAHundredPercentNeverShowsAsOne) {
    EXPECT_EQ(percent_text(0.931), "93.1%");
    EXPECT_EQ(percent_text(0.9996), "99.96%");
    EXPECT_EQ(percent_text(0.99996), "99.996%");
    EXPECT_EQ(percent_text(1.0), "100.0%");
    EXPECT_EQ(percent_text(0.0004), "0.04%");
}

TEST(SummaryJson, FiguresThatAreNoNumbersAreNullAndTextIsWellFormed) {
    const auto summary = nlohmann::json::parse(summary_json(hostile_report()));
    const auto& measurement = summary["stations"][0]["measurements"][0];
    EXPECT_TRUE(measurement["mean"].is_null()) << "inf is in no figure";
    EXPECT_EQ(measurement["not_finite"], 1);
    EXPECT_EQ(measurement["limits"], nlohmann::json::parse("[[null, 1.0]]"));
    EXPECT_EQ(measurement["unit"], "k\x01\xEF\xBF\xBD");
    EXPECT_TRUE(summary["stations"][0]["first_pass_yield"].is_null()) << "no boards, no yield";
    EXPECT_EQ(summary["stations"][0]["pareto"][0]["name"], "<b>R\"1'&");
}

TEST(Csv, FieldsAreQuotedAndFormulasDisarmed) {
    EXPECT_EQ(csv_text("plain 板"), "plain 板");
    EXPECT_EQ(csv_text("a,b\"c"), "\"a,b\"\"c\"");
    EXPECT_EQ(csv_text("=cmd|' /C calc'!A0"), "'=cmd|' /C calc'!A0");
    EXPECT_EQ(csv_text("-2+3"), "'-2+3");
    EXPECT_EQ(csv_number(-5.25), "-5.25");
    EXPECT_EQ(csv_number(NAN), "nan");
}

TEST(Csv, BothFilesStartWithAByteOrderMarkSoSpreadsheetsReadThemAsUtf8) {
    EXPECT_TRUE(measurements_csv(hostile_report()).starts_with("\xEF\xBB\xBFstation,name,"));
    TempFolder folder;
    { boards_csv boards(folder.path() / "boards.csv"); }
    std::ifstream in(folder.path() / "boards.csv", std::ios::binary);
    const std::string boards{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(boards.starts_with("\xEF\xBB\xBFstation,qr,")) << boards;
}

} // namespace
} // namespace report
