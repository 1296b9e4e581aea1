// qelreport on a generated line: every figure the generator knows must come out of the
// record files the same, hostile QR codes must stay text, and a missing ROOT stops the run.
#include "line_generator.h"
#include "run_report.h"

#include "posix/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class GeneratedLine : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        generator::line_plan plan;
        plan.out = folder->path();
        plan.days = 2;
        plan.cycles_per_day = 120;
        plan.seed = 7;
        truth = new generator::line_truth(generator::generate_line(plan));
        std::vector<std::string> arguments = {"--out", (plan.out / "report").string()};
        for (int i = 1; i <= plan.stations; ++i) {
            arguments.push_back((plan.out / ("ST" + std::to_string(i)) / "xlog.data").string());
        }
        std::FILE* sink = std::tmpfile();
        status = report::run_report(arguments, sink, sink, false);
        std::fclose(sink);
    }
    static void TearDownTestSuite() {
        delete truth;
        delete folder;
    }

    static inline TempFolder* folder = nullptr;
    static inline generator::line_truth* truth = nullptr;
    static inline int status = -1;
};

TEST_F(GeneratedLine, TheSummaryHoldsWhatTheGeneratorWrote) {
    ASSERT_EQ(status, 0);
    const auto summary = nlohmann::json::parse(read(folder->path() / "report" / "summary.json"));
    ASSERT_EQ(summary["stations"].size(), truth->stations.size());
    for (size_t i = 0; i < truth->stations.size(); ++i) {
        const generator::station_truth& want = truth->stations[i];
        const nlohmann::json& got = summary["stations"][i];
        SCOPED_TRACE(want.name);
        EXPECT_EQ(got["name"], want.name) << "named after the folder above xlog.data";
        EXPECT_EQ(got["records"], want.records);
        EXPECT_EQ(got["unparsed"], want.unparsed);
        EXPECT_EQ(got["boards"], want.boards);
        EXPECT_DOUBLE_EQ(got["first_pass_yield"].get<double>(),
                         static_cast<double>(want.first_pass) / static_cast<double>(want.boards));
        EXPECT_DOUBLE_EQ(got["final_yield"].get<double>(),
                         static_cast<double>(want.final_pass) / static_cast<double>(want.boards));
        EXPECT_EQ(got["retested_boards"], want.retested_boards);
        EXPECT_EQ(got["retests"], want.retests);
        EXPECT_EQ(got["records_without_qr"], want.records_without_qr);
        EXPECT_EQ(got["records_without_slot"], 0) << "slots told by the programming results";
        for (size_t s = 0; s < 4; ++s) {
            const nlohmann::json& slot = got["slots"][s];
            EXPECT_EQ(slot["slot"], s + 1);
            EXPECT_EQ(slot["tested"], want.slots[s].tested) << "slot " << s + 1;
            EXPECT_EQ(slot["passed"], want.slots[s].passed) << "slot " << s + 1;
            EXPECT_EQ(slot["failed"], want.slots[s].failed) << "slot " << s + 1;
            EXPECT_EQ(slot["no_result"], want.slots[s].no_result) << "slot " << s + 1;
            EXPECT_EQ(slot["programmed_ok"], want.slots[s].programmed_ok) << "slot " << s + 1;
            EXPECT_EQ(slot["programmed_failed"], want.slots[s].programmed_failed);
        }
        uint64_t previous = UINT64_MAX;
        for (const nlohmann::json& entry : got["pareto"]) {
            EXPECT_EQ(entry["fails"], want.fails.at(entry["name"])) << entry["name"];
            EXPECT_LE(entry["fails"].get<uint64_t>(), previous) << "most fails first";
            previous = entry["fails"];
        }
        uint64_t changes = 0;
        for (const nlohmann::json& measurement : got["measurements"]) {
            EXPECT_EQ(measurement["count"].get<uint64_t>() + measurement["gross"].get<uint64_t>(),
                      want.counts.at(measurement["name"]));
            for (const char* key : {"mean", "stddev", "min", "max", "cpk", "limits"}) {
                EXPECT_TRUE(measurement.contains(key)) << key;
            }
            changes += measurement["limit_change_count"].get<uint64_t>();
        }
        EXPECT_EQ(got["measurements"].size(), want.counts.size());
        EXPECT_EQ(changes, want.limit_changes);
    }
}

TEST_F(GeneratedLine, OddQrCodesReachBoardsCsvAsTheirFileNamesHoldThem) {
    const std::string boards = read(folder->path() / "report" / "boards.csv");
    EXPECT_NE(boards.find(",_script_alert('qr')__script_,"), std::string::npos);
    EXPECT_NE(boards.find(",'=HYPERLINK(_x_),"), std::string::npos) << "no formula";
    EXPECT_NE(boards.find(",A&B _quoted_ 'q',"), std::string::npos);
    EXPECT_NE(boards.find(",AB_2,"), std::string::npos) << "a QR code that ends like a suffix";
    EXPECT_NE(boards.find(",板号-001,"), std::string::npos);
}

TEST(QelReport, RecordsOfHundredsOfLinesAreReadWhole) {
    TempFolder folder;
    generator::line_plan plan;
    plan.out = folder.path();
    plan.stations = 1;
    plan.days = 1;
    plan.cycles_per_day = 3;
    plan.measurements = 300;
    const generator::line_truth truth = generator::generate_line(plan);
    std::FILE* sink = std::tmpfile();
    ASSERT_EQ(report::run_report({"--out", (plan.out / "report").string(),
                                  (plan.out / "ST1" / "xlog.data").string()},
                                 sink, sink, false),
              0);
    std::fclose(sink);
    const auto summary = nlohmann::json::parse(read(plan.out / "report" / "summary.json"));
    const nlohmann::json& measurements = summary["stations"][0]["measurements"];
    ASSERT_EQ(measurements.size(), 300u);
    for (const nlohmann::json& measurement : measurements) {
        EXPECT_EQ(measurement["count"].get<uint64_t>() + measurement["not_finite"].get<uint64_t>(),
                  truth.stations[0].counts.at(measurement["name"]))
            << measurement["name"];
    }
}

TEST(QelReport, AMissingRootStopsTheRunBeforeAnyOutput) {
    TempFolder folder;
    std::FILE* err = std::tmpfile();
    const int status = report::run_report(
        {"--out", (folder.path() / "out").string(), (folder.path() / "nothing").string()}, err, err,
        false);
    std::rewind(err);
    char message[256] = {};
    std::fgets(message, sizeof message, err);
    std::fclose(err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(std::string(message).find("nothing: no such folder"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "out"));
}

} // namespace
