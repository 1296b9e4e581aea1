#pragma once
// Windows paths on a POSIX machine: each drive letter is a directory chosen by the caller,
// so tests work on real files in a temporary folder. An unmapped drive does not exist.
#include "file_system.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace framework {

class PosixFileSystem : public FileSystem {
public:
    // Drive `letter` (either case) now lies at `root`; an empty root removes the drive.
    void MapDrive(char16_t letter, const std::filesystem::path& root);
    // The drive of paths that start with a backslash but name no drive; C: at first.
    void SetCurrentDrive(char16_t letter);

    // The native path of a Windows path, or nullopt with the error Windows would give.
    std::optional<std::filesystem::path> NativePath(const std::u16string& path,
                                                    uint32_t& error) const;

    std::unique_ptr<FileHandle> OpenFile(const std::u16string& path, unsigned flags,
                                         uint32_t& error) override;
    uint32_t MakeDirectory(const std::u16string& path) override;
    bool IsDirectory(const std::u16string& path) override;
    uint32_t RemoveFile(const std::u16string& path) override;

private:
    std::array<std::filesystem::path, 26> m_drives;
    char16_t m_currentDrive = u'C';
};

// The instance behind PlatformFileSystem(); map its drives before use.
PosixFileSystem& PlatformPosixFileSystem();

} // namespace framework
