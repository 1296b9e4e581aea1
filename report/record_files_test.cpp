// The record files as the controller writes them: names, judgement lines, station records
// and programming results.
#include "folder_listing.h"
#include "judgement_line.h"
#include "platform.h"
#include "program_result.h"
#include "record_name.h"
#include "record_scan.h"
#include "station_tally.h"
#include "station_record.h"

#include "posix/temp_folder.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace report {
namespace {

const local_seconds noon_2024_03_05 = *parse_stamp("20240305_120000");

TEST(RecordTime, StampsAndDatesRoundTripAndRejectImpossibleDates) {
    EXPECT_EQ(format_time(*parse_stamp("20240229_235958")), "2024-02-29 23:59:58");
    EXPECT_EQ(*parse_stamp("19700101_000001"), 1);
    EXPECT_EQ(format_day(*parse_iso_date("2000-12-31")), "2000-12-31");
    EXPECT_EQ(*parse_folder_date("20240301") - *parse_folder_date("20240228"), 2);
    EXPECT_FALSE(parse_stamp("20230229_120000")) << "no 29 February in 2023";
    EXPECT_FALSE(parse_stamp("20240305_126000"));
    EXPECT_FALSE(parse_iso_date("2024-3-05"));
    EXPECT_FALSE(parse_folder_date("2024030"));
}

TEST(RecordName, StationRecordsKeepTheirSanitisedQrAndProgramResultsAreKnown) {
    const auto none = [](std::string_view) { return false; };
    const auto station = parse_record_name("20240305_120000_QRA1_B:C.txt", none);
    ASSERT_TRUE(station);
    EXPECT_EQ(station->kind, record_kind::station);
    EXPECT_EQ(station->time, noon_2024_03_05);
    EXPECT_EQ(station->qr, "A1_B:C");
    EXPECT_EQ(station->copy, 1);

    const auto empty = parse_record_name("20240305_120000_QR.txt", none);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->qr, "");

    const auto program = parse_record_name("20240305_120000Program_Result.txt", none);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->kind, record_kind::program_result);

    for (const char* odd : {"20240305_120000_0.txt", "notes.txt", "20240305_120000_QRA1.TXT",
                            "20240305_1200_QRA1.txt", "Thumbs.db"}) {
        EXPECT_FALSE(parse_record_name(odd, none)) << odd;
    }
}

TEST(RecordName, AnUnderscoreNumberIsTheControllersSuffixOnlyWhenTheNameWithoutItIsThere) {
    const std::set<std::string, std::less<>> folder = {"20240305_120000_QR.txt",
                                                       "20240305_120000_QRAB.txt"};
    const auto lookup = [&](std::string_view name) { return folder.contains(name); };

    const auto collision = parse_record_name("20240305_120000_QR_3.txt", lookup);
    ASSERT_TRUE(collision);
    EXPECT_EQ(collision->qr, "");
    EXPECT_EQ(collision->copy, 3);

    const auto second = parse_record_name("20240305_120000_QRAB_2.txt", lookup);
    EXPECT_EQ(second->qr, "AB");
    EXPECT_EQ(second->copy, 2);

    const auto own = parse_record_name("20240305_120000_QRCD_2.txt", lookup);
    EXPECT_EQ(own->qr, "CD_2") << "no CD record in that second: the QR code ends in _2";
    EXPECT_EQ(own->copy, 1);
    EXPECT_EQ(parse_record_name("20240305_120000_QRAB_02.txt", lookup)->qr, "AB_02");
}

TEST(JudgementLine, PassAndErrorLinesWithUnitsSignsAndLargeValues) {
    const auto pass = parse_judgement_line("2# PASS R1=10.020kOhm range=9.500___10.500");
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->slot, 2);
    EXPECT_TRUE(pass->pass);
    EXPECT_EQ(pass->name, "R1");
    EXPECT_DOUBLE_EQ(pass->value, 10.02);
    EXPECT_EQ(pass->unit, "kOhm");
    EXPECT_DOUBLE_EQ(pass->low, 9.5);
    EXPECT_DOUBLE_EQ(pass->high, 10.5);

    // Limits printed high first, a negative value, a unit starting with a digit.
    const auto fail = parse_judgement_line("4# 错误 V-=-5.300 2V 范围=-4.750___-5.250");
    ASSERT_TRUE(fail);
    EXPECT_FALSE(fail->pass);
    EXPECT_EQ(fail->name, "V-");
    EXPECT_DOUBLE_EQ(fail->value, -5.3);
    EXPECT_EQ(fail->unit, " 2V");
    EXPECT_DOUBLE_EQ(fail->low, -5.25);
    EXPECT_DOUBLE_EQ(fail->high, -4.75);

    const auto large = parse_judgement_line(
        "1# PASS ISO=340282346638528859811704183484516925440.000 range=0.000___inf");
    ASSERT_TRUE(large);
    EXPECT_DOUBLE_EQ(large->value, 3.4028234663852886e38);
    EXPECT_TRUE(std::isinf(large->high));
    EXPECT_EQ(large->unit, "");

    const auto not_a_number = parse_judgement_line("3# 错误 X=-nanmV 范围=nan___1.000");
    ASSERT_TRUE(not_a_number);
    EXPECT_TRUE(std::isnan(not_a_number->value));
    EXPECT_EQ(not_a_number->unit, "mV");
    EXPECT_TRUE(std::isnan(not_a_number->low)) << "no order among limits that are no numbers";
    EXPECT_DOUBLE_EQ(not_a_number->high, 1.0);
}

TEST(JudgementLine, ANameHoldingAnEqualsSignEndsAtTheLastOneBeforeTheValue) {
    const auto line = parse_judgement_line("1# PASS R=1=10.020kOhm range=9.500___10.500");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->name, "R=1");
    EXPECT_DOUBLE_EQ(line->value, 10.02);
    EXPECT_EQ(line->unit, "kOhm");

    const auto unit = parse_judgement_line("2# 错误 X=1.500a=b 范围=0.000___1.000");
    ASSERT_TRUE(unit) << "an = in the unit is followed by no number";
    EXPECT_EQ(unit->name, "X");
    EXPECT_EQ(unit->unit, "a=b");
}

TEST(JudgementLine, ValuesAreExactThousandthsAndReadBitForBitAsFromChars) {
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        // Every magnitude up to the largest count of thousandths a double holds exactly.
        const int64_t thousandths = static_cast<int64_t>(random() >> (11 + i % 53));
        char number[40];
        std::snprintf(number, sizeof number, "%s%lld.%03lld", i % 2 ? "-" : "",
                      static_cast<long long>(thousandths / 1000),
                      static_cast<long long>(thousandths % 1000));
        const auto line =
            parse_judgement_line("1# PASS R=" + std::string(number) + "V range=0.000___1.000");
        ASSERT_TRUE(line) << number;
        double expected = 0;
        std::from_chars(number, number + std::strlen(number), expected);
        ASSERT_EQ(std::bit_cast<uint64_t>(line->value), std::bit_cast<uint64_t>(expected))
            << number;
        ASSERT_TRUE(line->has_thousandths) << number;
        ASSERT_EQ(line->value_thousandths, i % 2 ? -thousandths : thousandths) << number;
    }
    for (const char* beyond :
         {"9007199254740.992", "340282346638528859811704183484516925440.000", "inf", "-nan"}) {
        const auto line =
            parse_judgement_line("1# PASS R=" + std::string(beyond) + "V range=0.000___1.000");
        ASSERT_TRUE(line) << beyond;
        EXPECT_FALSE(line->has_thousandths) << beyond;
    }
    EXPECT_EQ(parse_judgement_line("1# PASS R=0009007199254740.991V range=0.000___1.000")
                  ->value_thousandths,
              (int64_t{1} << 53) - 1)
        << "leading zeros count for nothing";
}

TEST(JudgementLine, ALineReadLikeTheOneAtItsPlaceBeforeReadsAsIfReadAlone) {
    judgement_reader reader;
    judgement_line line;
    ASSERT_TRUE(reader.read(0, "1# PASS R1=10.020kOhm range=9.500___10.500", line));
    for (const char* next :
         {"2# PASS R1=9.000kOhm range=9.500___10.500",
          "3# PASS R1=1.000=2.000V range=9.500___10.500", "3# PASS R1=-infx=y range=9.500___10.500",
          "3# PASS R1=xV range=9.500___10.500", "3# PASS R1=1.000 range=9.500___10.500",
          "3# PASS R1=1.000 range=9.500___10.501", "3# PASS R1 range=9.500___10.500",
          "5# PASS R1=1.000V range=9.500___10.500", "2# 错误 R1=1.000V 范围=9.500___10.500",
          "2# PASS R1=range=9.500___10.500"}) {
        SCOPED_TRACE(next);
        const auto alone = parse_judgement_line(next);
        ASSERT_EQ(reader.read(0, next, line), alone.has_value());
        if (alone) {
            EXPECT_EQ(line.slot, alone->slot);
            EXPECT_EQ(line.pass, alone->pass);
            EXPECT_EQ(line.name, alone->name);
            EXPECT_EQ(std::bit_cast<uint64_t>(line.value), std::bit_cast<uint64_t>(alone->value));
            EXPECT_EQ(line.unit, alone->unit);
            EXPECT_EQ(line.low, alone->low);
            EXPECT_EQ(line.high, alone->high);
        }
    }
}

TEST(JudgementLine, CutOrForeignLinesAreRefused) {
    for (const char* line :
         {"1# PASS R1=10.02", "1# PASS R1=10.020kOhm range=9.500___10.5",
          "1# PASS R1=10.02kOhm range=9.500___10.500", "5# PASS R1=1.000V range=0.000___2.000",
          "1# PASS R1=1.000V 范围=0.000___2.000", "1# 错误 R1=1.000V range=0.000___2.000",
          "1# PASS R1 1.000V range=0.000___2.000", "1# PASS R1=1.000V range=0.000___2.000x",
          "1#PASS R1=1.000V range=0.000___2.000", "ICT program QEL-4 rev 3", ""}) {
        EXPECT_FALSE(parse_judgement_line(line)) << line;
    }
}

TEST(StationRecord, ErrorsALineEndAndPassesAreARecordAndAnythingElseIsNot) {
    std::vector<judgement_line> lines;
    std::string problem;
    ASSERT_TRUE(parse_station_record("3# 错误 R1=11.200kOhm 范围=9.500___10.500\r\n"
                                     "3# PASS VCC=3.300V range=3.150___3.450",
                                     lines, problem));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(lines[0].pass);
    EXPECT_EQ(lines[1].name, "VCC");

    ASSERT_TRUE(parse_station_record("\r\n", lines, problem)) << "a station with no measurement";
    EXPECT_TRUE(lines.empty());

    EXPECT_FALSE(
        parse_station_record("\r\n1# PASS R1=10.020kOhm range=9.500___10.5", lines, problem));
    EXPECT_EQ(problem, "line 2 is not a judgement line: 1# PASS R1=10.020kOhm range=9.500___10.5");
    EXPECT_FALSE(parse_station_record("\xFF\xFE"
                                      "1",
                                      lines, problem));
    EXPECT_NE(problem.find("UTF-16"), std::string::npos);
    EXPECT_FALSE(parse_station_record("\r\nGBK \xD6\xD0\x01", lines, problem));
    EXPECT_EQ(problem, "line 2 is not a judgement line: GBK \xEF\xBF\xBD\xEF\xBF\xBD?")
        << "bytes from the file are made safe to show";
}

TEST(ProgramResult, EveryOutcomeAndQrCodesWithSpacesOrNothing) {
    std::vector<program_line> lines;
    std::string problem;
    ASSERT_TRUE(parse_program_result("1#QRQB01 写入成功\r\n2#QRA B 写入失败\r\n"
                                     "3#QR QEL未通过，未执行写入操作\r\n"
                                     "4#QRQB04 该位置未使能，未执行写入操作\r\n",
                                     lines, problem));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].outcome, program_outcome::programmed);
    EXPECT_EQ(lines[1].qr, "A B");
    EXPECT_EQ(lines[1].outcome, program_outcome::failed);
    EXPECT_EQ(lines[2].qr, "");
    EXPECT_EQ(lines[2].outcome, program_outcome::not_programmed);
    EXPECT_EQ(lines[3].slot, 4);
    EXPECT_EQ(lines[3].outcome, program_outcome::disabled);

    EXPECT_FALSE(parse_program_result("1#QRQB01 写入成", lines, problem));
    EXPECT_FALSE(parse_program_result("", lines, problem));
}

TEST(RecordScan, AListedSizeSparesOpeningAnEmptyOrOversizedFile) {
    record_reader reader;
    std::string problem;
    folder_entry entry;
    entry.name = "a.txt";
    entry.size = 0;
    const auto empty = reader.read("/nonexistent", entry, problem);
    ASSERT_TRUE(empty) << problem;
    EXPECT_TRUE(empty->empty()) << "a record with no lines";
    entry.size = max_record_bytes + 1;
    EXPECT_FALSE(reader.read("/nonexistent", entry, problem));
    EXPECT_EQ(problem, record_too_large);
}

TEST(RecordScan, AFifoNamedLikeARecordIsNotedAndNeverWaitedFor) {
    TempFolder root;
    const std::filesystem::path day = root.path() / "qel_data" / "20240305";
    std::filesystem::create_directories(day);
    std::ofstream(day / "20240305_120000_QRA.txt") << "1# PASS R1=1.000V range=0.000___2.000";
    const std::filesystem::path fifo = day / "20240305_120001_QRB.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    station_tally tally("ST1", {"root"}, nullptr);
    record_reader reader;
    std::string scan_problem, read_problem;
    auto reading = std::async(std::launch::async, [&] {
        scan_station({root.path()}, {}, tally, nullptr,
                     [&](const std::filesystem::path&, const std::string& problem) {
                         scan_problem = problem;
                     });
        const bool scanned = scan_problem.empty();
        // As if the file had become a FIFO after the folder was listed.
        folder_entry as_listed;
        as_listed.name = fifo.filename();
        return scanned && !reader.read(day, as_listed, read_problem);
    });
    std::chrono::milliseconds deadline(20000);
    while (reading.wait_for(deadline) == std::future_status::timeout) {
        // A reader stuck in open() goes on once a writer has come and gone.
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        ADD_FAILURE() << "the reading waited on the FIFO";
        deadline = std::chrono::milliseconds(100);
    }
    EXPECT_TRUE(reading.get()) << scan_problem;
    EXPECT_EQ(read_problem, "not a regular file: a FIFO");
    std::vector<folder_entry> entries;
    ASSERT_TRUE(list_folder(day, entries, scan_problem));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].kind, file_kind::fifo) << "known from the listing, so never opened";
    const station_report report = tally.finish();
    EXPECT_EQ(report.records, 1u);
    ASSERT_EQ(report.unparsed_files.size(), 1u);
    EXPECT_EQ(report.unparsed_files[0].file, "qel_data/20240305/20240305_120001_QRB.txt");
    EXPECT_EQ(report.unparsed_files[0].reason, "not a regular file: a FIFO");
}

} // namespace
} // namespace report
