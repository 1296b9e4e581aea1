#pragma once
// Files and directories for portable code. Paths are Windows paths in UTF-16 ("D:\\a\\b.txt");
// failures are Windows error codes, so portable code decides exactly as it would on Windows.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace framework {

// The Windows error codes portable code looks at.
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorAlreadyExists = 183;

// Open flags, with the values of the framework's file class.
inline constexpr unsigned kModeRead = 0x0000;
inline constexpr unsigned kModeWrite = 0x0001;
inline constexpr unsigned kModeReadWrite = 0x0002;
inline constexpr unsigned kModeCreate = 0x1000;     // create, or cut an existing file to empty
inline constexpr unsigned kModeNoTruncate = 0x2000; // with kModeCreate: keep an existing file

// One open file. Reads and writes move the position; a failed read reads as end of file.
class FileHandle {
public:
    virtual ~FileHandle() = default;
    // Bytes read, 0 at the end of the file or on failure.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // True when every byte was written.
    virtual bool Write(const void* data, size_t count) = 0;
    virtual bool Seek(uint64_t position) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Length() const = 0;
};

// Enough to find or make a directory; what the data root needs.
class DirectoryMaker {
public:
    virtual ~DirectoryMaker() = default;
    // kErrorSuccess, or the error code (kErrorAlreadyExists when the directory or a file of
    // that name is there, kErrorPathNotFound when the drive or a parent is missing).
    virtual uint32_t MakeDirectory(const std::u16string& path) = 0;
    // True when `path` names an existing directory (not a file).
    virtual bool IsDirectory(const std::u16string& path) = 0;
};

class FileSystem : public DirectoryMaker {
public:
    // The open file, or null with `error` set.
    virtual std::unique_ptr<FileHandle> OpenFile(const std::u16string& path, unsigned flags,
                                                 uint32_t& error) = 0;
    // kErrorSuccess, or the error code (kErrorFileNotFound when there is no such file).
    virtual uint32_t RemoveFile(const std::u16string& path) = 0;
};

// The machine's own files: Win32 on Windows; elsewhere drive letters mapped onto directories
// (see posix/posix_file_system.h).
FileSystem& PlatformFileSystem();

// Whole-file helpers for callers that need no position.
std::optional<std::string> ReadWholeFile(FileSystem& files, const std::u16string& path);
bool WriteWholeFile(FileSystem& files, const std::u16string& path, std::string_view bytes);

} // namespace framework
