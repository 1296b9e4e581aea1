#include "unifile.h"

#include "posix/posix_file_system.h"
#include "posix/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace {

// Real files in a temporary folder that stands for drive T:.
class UniFile : public testing::Test {
protected:
    UniFile() {
        EXPECT_FALSE(m_folder.empty());
        m_files.MapDrive(u'T', m_folder);
    }

    void Put(const std::string& bytes) {
        std::ofstream(m_folder / "f.txt", std::ios::binary) << bytes;
    }
    std::string Get() {
        std::ifstream in(m_folder / "f.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Opens f.txt for reading into `file` and returns its text.
    std::u16string ReadWith(CUniFile& file) {
        EXPECT_TRUE(file.Open(kPath, framework::kModeRead));
        return file.ReadText();
    }
    std::u16string Read(const std::string& bytes) {
        Put(bytes);
        CUniFile file(m_files);
        return ReadWith(file);
    }

    static constexpr char16_t kPath[] = u"T:\\f.txt";
    TempFolder m_temp;
    const std::filesystem::path m_folder = m_temp.path();
    framework::PosixFileSystem m_files;
};

const std::string kTongGuoUtf8 = "\xE9\x80\x9A\xE8\xBF\x87"; // 通过
const std::string kTongGuoAnsi = "\xCD\xA8\xB9\xFD";

TEST_F(UniFile, Utf16WithEitherByteOrderMark) {
    Put(std::string("\xFF\xFE\x41\x00\x42\x00", 6));
    CUniFile little(m_files);
    EXPECT_EQ(ReadWith(little), u"AB");
    EXPECT_EQ(little.m_nBOMSize, 2);
    EXPECT_FALSE(little.m_bBigEndian);

    Put(std::string("\xFE\xFF\x00\x41\x00\x42\x90\x1A", 8));
    CUniFile big(m_files);
    EXPECT_EQ(ReadWith(big), u"AB通");
    EXPECT_TRUE(big.m_bBigEndian);
}

TEST_F(UniFile, Utf16DropsAnOddLastByteAndEndsAtAZeroCharacter) {
    EXPECT_EQ(Read(std::string("\xFF\xFE\x41\x00\x42", 5)), u"A");
    EXPECT_EQ(Read(std::string("\xFF\xFE\x41\x00\x00\x00\x42\x00", 8)), u"A");
    EXPECT_EQ(Read(std::string("\xFF\xFE", 2)), u"");
    // A UTF-16 file holding "<DATA>" is still read whole.
    EXPECT_EQ(Read(std::string("\xFF\xFE<\0D\0>\0", 8)), u"<D>");
}

TEST_F(UniFile, Utf8WithAndWithoutMarkReadsTheSame) {
    Put("\xEF\xBB\xBF" + kTongGuoUtf8 + "\r\nok");
    CUniFile marked(m_files);
    EXPECT_EQ(ReadWith(marked), u"通过\r\nok");
    EXPECT_TRUE(marked.m_bUTF8);
    EXPECT_EQ(marked.m_nBOMSize, 3);

    Put(kTongGuoUtf8 + "\r\nok");
    CUniFile unmarked(m_files);
    EXPECT_EQ(ReadWith(unmarked), u"通过\r\nok");
    EXPECT_TRUE(unmarked.m_bUTF8);
    EXPECT_EQ(unmarked.m_nBOMSize, 0);
}

TEST_F(UniFile, TextThatIsNotUtf8IsReadAsCodePage936) {
    Put(kTongGuoAnsi + "\r\n");
    CUniFile file(m_files);
    EXPECT_EQ(ReadWith(file), u"通过\r\n");
    EXPECT_FALSE(file.m_bUTF8);
    // A form feed makes otherwise valid UTF-8 ANSI text.
    EXPECT_EQ(Read("a\f" + kTongGuoUtf8), ConvertAnsiToUnicode("a\f" + kTongGuoUtf8));
    // Too short for their marks: unmarked.
    EXPECT_EQ(Read("\xEF\xBB"), ConvertAnsiToUnicode("\xEF\xBB"));
    EXPECT_EQ(Read("\xFE"), ConvertAnsiToUnicode("\xFE"));
    EXPECT_EQ(Read(""), u"");
}

TEST_F(UniFile, OnlyTheFirstBlockDecidesUtf8) {
    // The first 61999 bytes end inside a three-byte sequence: ANSI.
    const std::string cut = std::string(61998, 'a') + kTongGuoUtf8;
    Put(cut);
    CUniFile first(m_files);
    EXPECT_EQ(ReadWith(first), ConvertAnsiToUnicode(cut));
    EXPECT_FALSE(first.m_bUTF8);
    // The sequence lies wholly in the block; ANSI bytes after it do not count.
    const std::string whole = std::string(61996, 'a') + kTongGuoUtf8 + "\xFF";
    Put(whole);
    CUniFile second(m_files);
    ReadWith(second);
    EXPECT_TRUE(second.m_bUTF8);
    // A zero byte ends the judging and the text.
    EXPECT_EQ(Read(std::string("abc\0\xFF\xFE", 6)), u"abc");
}

TEST_F(UniFile, XlgFileReadsAsItsHeader) {
    Put("head line\r\n<DATA>\r\n1,2,3\r\n");
    CUniFile file(m_files);
    EXPECT_EQ(ReadWith(file), u"head line\r\n");
    EXPECT_TRUE(file.m_bDataMarker);
    EXPECT_EQ(file.GetPosition(), 11u); // at the marker
    EXPECT_EQ(Read("\xEF\xBB\xBF" + kTongGuoUtf8 + "<DATA>x"), u"通过");
    EXPECT_EQ(Read(kTongGuoAnsi + "<DATA>"), u"通过");
    EXPECT_EQ(Read("<DATA>"), u"");
    EXPECT_EQ(Read("<data>x"), u"<data>x");
}

TEST_F(UniFile, XlgMarkerIsFoundAcrossChunkBoundaries) {
    for (const size_t before : {2040u, 2043u, 2045u, 2047u, 2048u, 4090u, 4093u, 4096u, 6141u}) {
        const std::string header(before, 'h');
        EXPECT_EQ(Read(header + "<DATA>" + std::string(5000, 'd')), std::u16string(before, u'h'))
            << before;
    }
    // The same with a UTF-8 mark shifting the chunks by three bytes.
    EXPECT_EQ(Read("\xEF\xBB\xBF" + std::string(2046, 'h') + "<DATA>"), std::u16string(2046, u'h'));
}

TEST_F(UniFile, MarkerBeyondTheFirstBlockIsNotSeen) {
    const std::string text = std::string(62000, 'x') + "<DATA>tail";
    CUniFile file(m_files);
    Put(text);
    EXPECT_EQ(ReadWith(file), std::u16string(text.begin(), text.end()));
    EXPECT_FALSE(file.m_bDataMarker);
}

TEST_F(UniFile, HeaderWithoutMarkerSaysSo) {
    Put("no marker here");
    CUniFile file(m_files);
    ASSERT_TRUE(file.Open(kPath, framework::kModeRead));
    file.Seek(0, framework::CFile::begin);
    EXPECT_EQ(file.ReadHeader(), u"XLG HEADER NOT FOUND");
}

TEST_F(UniFile, WritesUtf8WithoutMarkAfterCuttingTheFile) {
    Put("old content that must go");
    {
        CUniFile file(m_files);
        ASSERT_TRUE(file.Open(kPath, framework::kModeCreate | framework::kModeWrite));
        EXPECT_EQ(file.m_nBOMSize, 0);
        EXPECT_TRUE(file.WriteText(u"通过"));
        EXPECT_TRUE(file.WriteText(u"\r\n"));
        EXPECT_TRUE(file.WriteText(u""));
        EXPECT_TRUE(file.WriteText(std::u16string(1, char16_t(0xD800)))); // lone surrogate
    }
    EXPECT_EQ(Get(), kTongGuoUtf8 + "\r\n\xEF\xBF\xBD");
}

TEST_F(UniFile, FailedOpenReportsAndKeepsTheFields) {
    CUniFile file(m_files);
    file.m_bUTF8 = true;
    uint32_t error = 0;
    EXPECT_FALSE(file.Open(u"T:\\missing.txt", framework::kModeRead, &error));
    EXPECT_EQ(error, framework::kErrorFileNotFound);
    EXPECT_FALSE(
        file.Open(u"T:\\no\\such.txt", framework::kModeCreate | framework::kModeWrite, &error));
    EXPECT_EQ(error, framework::kErrorPathNotFound);
    EXPECT_TRUE(file.m_bUTF8);
    EXPECT_FALSE(file.WriteText(u"nowhere"));
}

} // namespace
