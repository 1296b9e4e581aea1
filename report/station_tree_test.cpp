// One station's records in two roots (moved from D: to E: on a day), worked out by hand:
// the figures must be those of one population read in time order, with records without a
// result or a QR code kept out of the board yields.
#include "run_report.h"

#include "posix/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace report {
namespace {

namespace fs = std::filesystem;

void write(const fs::path& root, const std::string& name, const std::string& text) {
    const fs::path folder = root / "qel_data" / name.substr(0, 8);
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << text;
}

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string pass_line(int slot, const std::string& value) {
    return "\r\n" + std::to_string(slot) + "# PASS R1=" + value + "kOhm range=9.500___10.500";
}
std::string fail_line(int slot, const std::string& value) {
    return std::to_string(slot) + "# 错误 R1=" + value + "kOhm 范围=9.500___10.500\r\n";
}

TEST(StationTree, TwoRootsOfOneStationAreOnePopulationInTimeOrder) {
    TempFolder folder;
    const fs::path d = folder.path() / "d" / "xlog.data";
    const fs::path e = folder.path() / "e" / "xlog.data";
    // E: holds the first cycle, D: (given first) the later records of the same day.
    write(e, "20240305_100000_QRB1.txt", pass_line(1, "10.000"));
    write(e, "20240305_100000_QRB2.txt", fail_line(2, "11.000"));
    write(e, "20240305_100000_QR.txt", pass_line(3, "10.100"));
    write(e, "20240305_100000_QRB4.txt", ""); // the tester printed nothing for slot 4
    write(e, "20240305_100000Program_Result.txt",
          "1#QRB1 写入成功\r\n2#QRB2 QEL未通过，未执行写入操作\r\n3#QR 写入成功\r\n"
          "4#QRB4 写入成功\r\n");
    write(d, "20240305_103000_QRB5.txt", pass_line(2, "9.900"));
    write(d, "20240305_110000_QRB2.txt", pass_line(1, "10.050"));
    write(d, "20240305_110000Program_Result.txt",
          "1#QRB2 写入成功\r\n2#QR 该位置未使能，未执行写入操作\r\n"
          "3#QR 该位置未使能，未执行写入操作\r\n4#QR 该位置未使能，未执行写入操作\r\n");
    // The next day without a programming command: the passing slot is 写入失败.
    write(e, "20240306_090000_QRB6.txt", pass_line(1, "10.000"));
    write(e, "20240306_090000_QRB7.txt", fail_line(2, "0.000"));
    write(e, "20240306_090000Program_Result.txt",
          "1#QRB6 写入失败\r\n2#QRB7 QEL未通过，未执行写入操作\r\n"
          "3#QR 该位置未使能，未执行写入操作\r\n4#QR 该位置未使能，未执行写入操作\r\n");

    const fs::path out = folder.path() / "out";
    std::FILE* sink = std::tmpfile();
    ASSERT_EQ(run_report({"--out", out.string(), "--name", "ST", d.string(), "--name", "ST",
                          e.string(), "--name", "ST", d.string()},
                         sink, sink, false),
              0);
    std::fclose(sink);
    const auto summary = nlohmann::json::parse(read(out / "summary.json"));
    ASSERT_EQ(summary["stations"].size(), 1u)
        << "one name, one station; D: given twice is read once";
    const auto& st = summary["stations"][0];
    EXPECT_EQ(st["roots"].size(), 2u);
    EXPECT_EQ(st["records"], 8);
    EXPECT_EQ(st["no_result"], 1) << "the zero-byte record";
    // Boards B1 B2 B5 B6 B7; B2 failed first (on E:) and passed later (on D:).
    EXPECT_EQ(st["boards"], 5);
    EXPECT_DOUBLE_EQ(st["first_pass_yield"].get<double>(), 3.0 / 5);
    EXPECT_DOUBLE_EQ(st["final_yield"].get<double>(), 4.0 / 5);
    EXPECT_EQ(st["records_without_qr"], 1);
    EXPECT_DOUBLE_EQ(st["untraceable_share"].get<double>(), 1.0 / 7);

    const auto& slot1 = st["slots"][0];
    EXPECT_EQ(slot1["tested"], 3);
    EXPECT_EQ(slot1["first_tested"], 2) << "B1 and B6; B2 was first tested in slot 2";
    const auto& slot2 = st["slots"][1];
    EXPECT_EQ(slot2["first_tested"], 3);
    EXPECT_DOUBLE_EQ(slot2["first_test_yield"].get<double>(), 1.0 / 3);
    EXPECT_EQ(slot2["retest_pass"], 1) << "B2: no trouble found on its retest";
    EXPECT_EQ(st["slots"][3]["tested"], 0);
    EXPECT_EQ(st["slots"][3]["no_result"], 1) << "its slot from the programming results";

    EXPECT_DOUBLE_EQ(st["programming_yield"].get<double>(), 4.0 / 5);
    EXPECT_DOUBLE_EQ(st["rolled_yield"].get<double>(), 3.0 / 5 * 4.0 / 5);
    EXPECT_EQ(st["programming_looks_off"], true);
    EXPECT_EQ(st["programming_off_days"], nlohmann::json::parse(R"(["2024-03-06"])"));
    EXPECT_EQ(st["pareto_first_test"],
              nlohmann::json::parse(R"([{"name": "R1", "fails": 2, "boards": 2}])"));
    EXPECT_EQ(st["daily"], nlohmann::json::parse(R"([
        {"day": "2024-03-05", "records": 6, "boards": 3, "first_pass_yield": 0.6666666666666666},
        {"day": "2024-03-06", "records": 2, "boards": 2, "first_pass_yield": 0.5}])"));

    const auto& r1 = st["measurements"][0];
    EXPECT_EQ(r1["count"], 6);
    EXPECT_EQ(r1["gross"], 1) << "the failing 0.000";
    EXPECT_EQ(r1["fails"], 2);
    EXPECT_DOUBLE_EQ(r1["max"].get<double>(), 11.0) << "beyond the limit, but by less than the "
                                                       "tolerance: counted";

    const std::string measurements = read(out / "measurements.csv");
    EXPECT_NE(measurements.find(",gross,capability_count,capability_since,sigma_within,ppk,"
                                "out_of_control\r\n"),
              std::string::npos);
    EXPECT_NE(measurements.find("\r\nST,R1,kOhm,6,0,2,"), std::string::npos)
        << "six counted, the gross one apart";

    const std::string boards = read(out / "boards.csv");
    EXPECT_NE(boards.find(",B4,2024-03-05 10:00:00,4,no_result,0,,"), std::string::npos);
    EXPECT_NE(boards.find(",B2,2024-03-05 11:00:00,1,PASS,2,,"), std::string::npos);
    EXPECT_NE(boards.find("/e/xlog.data/qel_data/20240305/20240305_100000_QRB2.txt"),
              std::string::npos)
        << "a file is named under its root when the station has several";
}

TEST(StationTree, AFullDiskWritingBoardsCsvFailsTheRun) {
    TempFolder folder;
    const fs::path root = folder.path() / "st" / "xlog.data";
    write(root, "20240305_100000_QRB1.txt", pass_line(1, "10.000"));
    const fs::path out = folder.path() / "out";
    fs::create_directories(out);
    fs::create_symlink("/dev/full", out / "boards.csv"); // every write: no space left
    std::FILE* err = std::tmpfile();
    const int status = run_report({"--out", out.string(), root.string()}, err, err, false);
    std::rewind(err);
    std::string messages(4096, '\0');
    messages.resize(std::fread(messages.data(), 1, messages.size(), err));
    std::fclose(err);
    EXPECT_EQ(status, 1);
    EXPECT_NE(messages.find("qelreport: cannot write " + (out / "boards.csv").string()),
              std::string::npos)
        << messages;
}

} // namespace
} // namespace report
