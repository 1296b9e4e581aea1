#include "data_root.h"

#include "posix/posix_file_system.h"
#include "posix/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace {

// Drives by letter, each answering MakeDirectory with a fixed code; the rest do not exist.
class FakeDrives : public framework::DirectoryMaker {
public:
    std::map<char16_t, uint32_t> answers;
    std::u16string tried; // drive letters in the order they were tried

    std::u16string files; // drives whose xlog.data is a file
    uint32_t MakeDirectory(const std::u16string& path) override {
        EXPECT_EQ(path.substr(1), u":\\xlog.data");
        tried += path[0];
        const auto answer = answers.find(path[0]);
        return answer == answers.end() ? framework::kErrorPathNotFound : answer->second;
    }
    bool IsDirectory(const std::u16string& path) override {
        return files.find(path[0]) == std::u16string::npos;
    }
};

struct DataRoot : testing::Test {
    FakeDrives drives;
    std::vector<std::u16string> messages;
    std::u16string Find() {
        return GetDataRoot(drives,
                           [this](const std::u16string& text) { messages.push_back(text); });
    }
};

constexpr uint32_t kNotReady = 21;
constexpr uint32_t kWriteProtect = 19;

TEST_F(DataRoot, FirstDriveThatTakesOrHasTheDirectoryWins) {
    drives.answers = {{u'c', framework::kErrorSuccess}, {u'd', framework::kErrorSuccess}};
    EXPECT_EQ(Find(), u"d:\\xlog.data");
    EXPECT_EQ(drives.tried, u"d");

    drives.tried.clear();
    drives.answers[u'd'] = framework::kErrorAlreadyExists;
    EXPECT_EQ(Find(), u"d:\\xlog.data");
    EXPECT_TRUE(messages.empty());

    drives.files = u"d";
    EXPECT_EQ(Find(), u"c:\\xlog.data") << "a file of that name is no data root";
}

TEST_F(DataRoot, UnusableDrivesAreSkippedAndCComesLast) {
    drives.answers = {{u'a', framework::kErrorSuccess},
                      {u'b', framework::kErrorSuccess},
                      {u'g', framework::kErrorSuccess},
                      {u'c', framework::kErrorAlreadyExists},
                      {u'd', framework::kErrorAccessDenied},
                      {u'e', kNotReady},
                      {u'f', kWriteProtect}};
    EXPECT_EQ(Find(), u"c:\\xlog.data");
    EXPECT_EQ(drives.tried, u"defhijklmnopqrstuvwxyzc");

    drives.answers[u'k'] = framework::kErrorSuccess;
    drives.tried.clear();
    EXPECT_EQ(Find(), u"k:\\xlog.data");
    EXPECT_EQ(drives.tried, u"defhijk");
    EXPECT_TRUE(messages.empty());
}

TEST_F(DataRoot, NoUsableDriveSaysSoOnEveryCall) {
    EXPECT_EQ(Find(), u"");
    EXPECT_EQ(Find(), u"");
    EXPECT_EQ(messages, (std::vector<std::u16string>{u"No disk space!", u"No disk space!"}));
}

TEST(DataRootOnDisk, CreatesTheDirectoryOnTheMappedDrive) {
    TempFolder temp;
    const std::filesystem::path& folder = temp.path();
    ASSERT_FALSE(folder.empty());
    framework::PosixFileSystem files;
    files.MapDrive(u'E', folder);
    int shown = 0;
    const auto count = [&shown](const std::u16string&) { ++shown; };
    EXPECT_EQ(GetDataRoot(files, count), u"e:\\xlog.data");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "xlog.data"));
    EXPECT_EQ(GetDataRoot(files, count), u"e:\\xlog.data"); // now it already exists
    EXPECT_EQ(shown, 0);
}

} // namespace
