#include "records.h"

#include "posix/posix_file_system.h"
#include "posix/temp_folder.h"
#include "record_names.h"
#include "station_controller_fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(RecordNames, DateTimeFieldsArePaddedAndTheQrIsMadeFitForAName) {
    const framework::LocalTime t{2025, 1, 4, 2, 3, 4, 5, 0};
    EXPECT_EQ(DateDirectoryName(t), u"20250102");
    EXPECT_EQ(TesterRecordName(t), u"20250102_030405_0.txt");
    EXPECT_EQ(StationRecordName(t, u"A1B2C3"), u"20250102_030405_QRA1B2C3.txt");
    EXPECT_EQ(StationRecordName(t, u""), u"20250102_030405_QR.txt");
    EXPECT_EQ(ProgramResultName(t), u"20250102_030405Program_Result.txt");

    EXPECT_EQ(FileNameSafe(u"..\\a/b:c*d?e\"f<g>h|i\x01\x1F\t"), u".._a_b_c_d_e_f_g_h_i___");
    EXPECT_EQ(FileNameSafe(u"通过 A.1"), u"通过 A.1") << "ordinary characters stay";
    EXPECT_EQ(NumberedName(u"20250102_030405_0.txt", 2), u"20250102_030405_0_2.txt");
}

// Records on real files: drive D: of the file layer lies in a fresh temporary folder.
class RecordsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_drive.empty());
        m_files.MapDrive(u'D', m_drive);
    }

    // The bytes of a file given by its path under D:.
    std::string Read(const std::string& relative) {
        std::ifstream in(m_drive / relative, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return in ? bytes.str() : "<missing>";
    }
    size_t FileCount() {
        size_t count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(m_drive)) {
            count += entry.is_regular_file();
        }
        return count;
    }

    TempFolder m_temp;
    const fs::path m_drive = m_temp.path();
    framework::PosixFileSystem m_files;
    FakeClock m_clock;
    std::vector<std::u16string> m_boxes;
    Records m_records{m_files, m_clock,
                      [this](const std::u16string& text) { m_boxes.push_back(text); }};
};

TEST_F(RecordsTest, EachRecordIsUtf8InItsDirectoryAndReportsItsPath) {
    EXPECT_EQ(m_records.SaveTesterText(u"第一行\r\n{show}\r\n"),
              u"Saved to d:\\xlog.data\\qel_str\\20251027_093015_0.txt");
    EXPECT_EQ(Read("xlog.data/qel_str/20251027_093015_0.txt"), "第一行\r\n{show}\r\n");

    EXPECT_EQ(m_records.SaveStationRecord(u"A1B2C3", u"", u"1# PASS R1"),
              u"Saved to d:\\xlog.data\\qel_data\\20251027\\20251027_093015_QRA1B2C3.txt");
    EXPECT_EQ(Read("xlog.data/qel_data/20251027/20251027_093015_QRA1B2C3.txt"), "\r\n1# PASS R1");
    m_records.SaveStationRecord(u"F", u"2# 错误 R2", u"");
    EXPECT_EQ(Read("xlog.data/qel_data/20251027/20251027_093015_QRF.txt"), "2# 错误 R2\r\n");

    ProgramSummary summary{{{true, 3, u"A"}, {true, 1, u"B"}, {true, 0, u""}, {false, 1, u"D"}}};
    EXPECT_EQ(m_records.SaveProgramResult(summary),
              u"Program result Saved to "
              u"d:\\xlog.data\\qel_data\\20251027\\20251027_093015Program_Result.txt");
    EXPECT_EQ(Read("xlog.data/qel_data/20251027/20251027_093015Program_Result.txt"),
              "1#QRA 写入成功\r\n2#QRB 写入失败\r\n3#QR QEL未通过，未执行写入操作\r\n"
              "4#QRD 该位置未使能，未执行写入操作\r\n");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(RecordsTest, ScannedQrCannotLeaveTheDateDirectoryNorLoseTheRecord) {
    EXPECT_EQ(m_records.SaveStationRecord(u"..\\..\\x:y*\x07", u"", u"p"),
              u"Saved to d:\\xlog.data\\qel_data\\20251027\\20251027_093015_QR.._.._x_y__.txt");
    ProgramSummary summary{{{true, 3, u"a/b"}, {}, {}, {}}};
    m_records.SaveProgramResult(summary);
    const std::string first = "1#QRa/b 写入成功\r\n";
    EXPECT_EQ(Read("xlog.data/qel_data/20251027/20251027_093015Program_Result.txt")
                  .substr(0, first.size()),
              first)
        << "the content keeps the code as scanned";
    EXPECT_EQ(FileCount(), 2u);
}

TEST_F(RecordsTest, SameNameInOneSecondGetsANumberInsteadOfOverwriting) {
    const std::string dir = "xlog.data/qel_data/20251027/";
    m_records.SaveStationRecord(u"", u"first", u"");
    m_records.SaveStationRecord(u"", u"second", u"");
    EXPECT_EQ(m_records.SaveStationRecord(u"", u"third", u""),
              u"Saved to d:\\xlog.data\\qel_data\\20251027\\20251027_093015_QR_3.txt");
    EXPECT_EQ(Read(dir + "20251027_093015_QR.txt"), "first\r\n");
    EXPECT_EQ(Read(dir + "20251027_093015_QR_2.txt"), "second\r\n");
    m_records.SaveTesterText(u"one");
    m_records.SaveTesterText(u"two");
    EXPECT_EQ(Read("xlog.data/qel_str/20251027_093015_0.txt"), "one");
    EXPECT_EQ(Read("xlog.data/qel_str/20251027_093015_0_2.txt"), "two");
    m_clock.time.second = 16;
    m_records.SaveTesterText(u"three");
    EXPECT_EQ(Read("xlog.data/qel_str/20251027_093016_0.txt"), "three");
}

TEST_F(RecordsTest, MissingDirectoriesAndDrivesAreReportedAndSkipped) {
    // A file where the date directory's parent should be.
    fs::create_directories(m_drive / "xlog.data");
    std::ofstream(m_drive / "xlog.data/qel_data") << "in the way";
    EXPECT_EQ(m_records.SaveStationRecord(u"A", u"", u""),
              u"can not create directory:d:\\xlog.data\\qel_data\\20251027");
    EXPECT_EQ(m_records.SaveProgramResult({}),
              u"can not create directory:d:\\xlog.data\\qel_data\\20251027");

    m_files.MapDrive(u'D', "");
    EXPECT_EQ(m_records.SaveTesterText(u"t"), u"can not create directory:\\qel_str");
    EXPECT_EQ(m_boxes, std::vector<std::u16string>{u"No disk space!"});
}

// The file layer refuses to create or to write files.
class RefusingFiles : public framework::PosixFileSystem {
public:
    bool refuseCreate = true;
    std::unique_ptr<framework::FileHandle> OpenFile(const std::u16string& path, unsigned flags,
                                                    uint32_t& error) override {
        if (!(flags & framework::kModeCreate)) {
            return PosixFileSystem::OpenFile(path, flags, error);
        }
        if (refuseCreate) {
            error = framework::kErrorAccessDenied;
            return nullptr;
        }
        return std::make_unique<Unwritable>();
    }
    struct Unwritable : framework::FileHandle {
        size_t Read(void*, size_t) override { return 0; }
        bool Write(const void*, size_t) override { return false; }
        bool Seek(uint64_t) override { return true; }
        uint64_t Position() const override { return 0; }
        uint64_t Length() const override { return 0; }
    };
};

TEST_F(RecordsTest, FilesThatCannotBeCreatedOrWrittenAreNotReportedAsSaved) {
    RefusingFiles files;
    files.MapDrive(u'D', m_drive);
    Records records(files, m_clock, {});
    EXPECT_EQ(records.SaveTesterText(u"t"),
              u"can not create file:d:\\xlog.data\\qel_str\\20251027_093015_0.txt");
    files.refuseCreate = false;
    EXPECT_EQ(records.SaveTesterText(u"t"),
              u"can not write file:d:\\xlog.data\\qel_str\\20251027_093015_0.txt");
}
