#include "file.h"
#include "posix/posix_file_system.h"
#include "posix/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace framework {
namespace {

// Drive D: is a temporary folder.
class PosixFiles : public testing::Test {
protected:
    PosixFiles() {
        EXPECT_FALSE(m_root.empty());
        m_files.MapDrive(u'd', m_root);
    }

    TempFolder m_temp;
    const std::filesystem::path m_root = m_temp.path();
    PosixFileSystem m_files;
};

TEST_F(PosixFiles, WindowsPathsLandInTheMappedFolder) {
    uint32_t error = kErrorSuccess;
    EXPECT_EQ(m_files.NativePath(u"D:\\a\\b.txt", error), m_root / "a" / "b.txt");
    EXPECT_EQ(m_files.NativePath(u"d:/a//./c\\..\\b.txt", error), m_root / "a" / "b.txt");
    EXPECT_EQ(m_files.NativePath(u"D:\\..\\..\\x", error), m_root / "x"); // stops at the root
    EXPECT_EQ(m_files.NativePath(u"D:\\通过", error), m_root / "\xE9\x80\x9A\xE8\xBF\x87");
    EXPECT_EQ(m_files.NativePath(u"rel\\x", error), std::filesystem::current_path() / "rel" / "x");
    EXPECT_EQ(error, kErrorSuccess);

    // Rooted paths without a drive use the current drive, C: until changed.
    EXPECT_FALSE(m_files.NativePath(u"\\qel_str", error));
    EXPECT_EQ(error, kErrorPathNotFound);
    m_files.SetCurrentDrive(u'D');
    EXPECT_EQ(m_files.NativePath(u"\\qel_str", error), m_root / "qel_str");
}

TEST_F(PosixFiles, FailuresCarryTheWindowsErrorCodes) {
    EXPECT_EQ(m_files.MakeDirectory(u"E:\\xlog.data"), kErrorPathNotFound); // no such drive
    EXPECT_EQ(m_files.MakeDirectory(u"D:\\xlog.data"), kErrorSuccess);
    EXPECT_EQ(m_files.MakeDirectory(u"D:\\xlog.data"), kErrorAlreadyExists);
    EXPECT_EQ(m_files.MakeDirectory(u"D:\\missing\\child"), kErrorPathNotFound);
    EXPECT_EQ(m_files.MakeDirectory(u"D:\\QR?.txt"), kErrorInvalidName);
    EXPECT_EQ(m_files.MakeDirectory(u"\\\\server\\share"), kErrorPathNotFound);

    uint32_t error = kErrorSuccess;
    EXPECT_FALSE(m_files.OpenFile(u"D:\\none.txt", kModeRead, error));
    EXPECT_EQ(error, kErrorFileNotFound);
    EXPECT_FALSE(m_files.OpenFile(u"D:\\missing\\x.txt", kModeCreate | kModeWrite, error));
    EXPECT_EQ(error, kErrorPathNotFound);
    EXPECT_FALSE(m_files.OpenFile(u"D:\\xlog.data", kModeRead, error));
    EXPECT_EQ(error, kErrorAccessDenied);
    EXPECT_FALSE(m_files.OpenFile(u"D:\\a|b.txt", kModeCreate | kModeWrite, error));
    EXPECT_EQ(error, kErrorInvalidName);

    EXPECT_EQ(m_files.RemoveFile(u"D:\\none.txt"), kErrorFileNotFound);
    EXPECT_EQ(m_files.RemoveFile(u"D:\\xlog.data"), kErrorAccessDenied);
}

TEST_F(PosixFiles, WholeFilesAndRemoval) {
    EXPECT_TRUE(WriteWholeFile(m_files, u"D:\\w.bin", std::string("a\0b", 3)));
    EXPECT_EQ(ReadWholeFile(m_files, u"D:\\w.bin"), std::string("a\0b", 3));
    EXPECT_TRUE(WriteWholeFile(m_files, u"D:\\w.bin", "c")); // cut, not appended
    EXPECT_EQ(ReadWholeFile(m_files, u"D:\\w.bin"), "c");
    EXPECT_EQ(m_files.RemoveFile(u"D:\\w.bin"), kErrorSuccess);
    EXPECT_EQ(ReadWholeFile(m_files, u"D:\\w.bin"), std::nullopt);
}

TEST_F(PosixFiles, CFileReadsWritesAndSeeks) {
    CFile file(m_files);
    uint32_t error = 99;
    ASSERT_TRUE(file.Open(u"D:\\f.bin", kModeCreate | kModeReadWrite, &error));
    EXPECT_EQ(error, kErrorSuccess);
    EXPECT_EQ(file.GetFilePath(), u"D:\\f.bin");
    EXPECT_TRUE(file.Write("0123456789", 10));
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.Seek(-3, CFile::end), 7u);
    EXPECT_EQ(file.Seek(-11, CFile::current), 7u); // before the start: stays
    EXPECT_EQ(file.Seek(-7, CFile::current), 0u);
    EXPECT_EQ(file.Seek(4, CFile::begin), 4u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);

    // Create with no-truncate keeps the content.
    ASSERT_TRUE(file.Open(u"D:\\f.bin", kModeCreate | kModeNoTruncate | kModeRead));
    EXPECT_EQ(file.GetLength(), 10u);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(buffer, 1), 0u);
    EXPECT_FALSE(file.Write("x", 1));
}

} // namespace
} // namespace framework
