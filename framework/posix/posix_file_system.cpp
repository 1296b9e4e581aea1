#include "posix_file_system.h"

#include "codepage.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace framework {
namespace {

constexpr uint32_t kErrorGenFailure = 31;

class PosixFileHandle : public FileHandle {
public:
    explicit PosixFileHandle(int fd) : m_fd(fd) {}
    ~PosixFileHandle() override { ::close(m_fd); }
    PosixFileHandle(const PosixFileHandle&) = delete;
    PosixFileHandle& operator=(const PosixFileHandle&) = delete;

    size_t Read(void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::read(m_fd, static_cast<char*>(buffer) + done, count - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        return done;
    }

    bool Write(const void* data, size_t count) override {
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(m_fd, static_cast<const char*>(data) + done, count - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }

    bool Seek(uint64_t position) override {
        return ::lseek(m_fd, static_cast<off_t>(position), SEEK_SET) >= 0;
    }

    uint64_t Position() const override {
        const off_t here = ::lseek(m_fd, 0, SEEK_CUR);
        return here < 0 ? 0 : static_cast<uint64_t>(here);
    }

    uint64_t Length() const override {
        struct stat info {};
        return ::fstat(m_fd, &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
    }

private:
    int m_fd;
};

bool IsDirectory(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The Windows code for a failed call on `path`: a missing file in a missing directory is a
// missing path.
uint32_t WindowsError(int error, const std::filesystem::path& path) {
    switch (error) {
    case ENOENT:
        return IsDirectory(path.parent_path()) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR:
        return kErrorPathNotFound;
    case EEXIST:
        return kErrorAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return kErrorAccessDenied;
    default:
        return kErrorGenFailure;
    }
}

// Characters Windows refuses in a file or directory name.
bool IsValidName(std::u16string_view name) {
    for (const char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

int DriveIndex(char16_t letter) {
    if (letter >= u'a' && letter <= u'z') {
        return letter - u'a';
    }
    if (letter >= u'A' && letter <= u'Z') {
        return letter - u'A';
    }
    return -1;
}

} // namespace

void PosixFileSystem::MapDrive(char16_t letter, const std::filesystem::path& root) {
    const int index = DriveIndex(letter);
    if (index >= 0) {
        m_drives[index] = root;
    }
}

void PosixFileSystem::SetCurrentDrive(char16_t letter) {
    m_currentDrive = letter;
}

std::optional<std::filesystem::path> PosixFileSystem::NativePath(const std::u16string& path,
                                                                 uint32_t& error) const {
    std::u16string rest = path;
    for (char16_t& c : rest) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    std::filesystem::path base;
    const bool hasDrive = rest.size() >= 2 && rest[1] == u':' && DriveIndex(rest[0]) >= 0;
    if (hasDrive || rest.starts_with(u'\\')) {
        if (rest.starts_with(u"\\\\")) {
            error = kErrorPathNotFound; // no network shares here
            return std::nullopt;
        }
        const int drive = DriveIndex(hasDrive ? rest[0] : m_currentDrive);
        if (drive < 0 || m_drives[drive].empty()) {
            error = kErrorPathNotFound;
            return std::nullopt;
        }
        base = m_drives[drive];
        rest.erase(0, hasDrive ? 2 : 0);
    } else {
        base = std::filesystem::current_path();
    }

    // Resolve "." and ".." by name; ".." stops at the drive's root as it does on Windows.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t stop = rest.find(u'\\', start);
        if (stop == std::u16string::npos) {
            stop = rest.size();
        }
        const std::u16string_view part(rest.data() + start, stop - start);
        start = stop + 1;
        if (part.empty() || part == u".") {
            continue;
        }
        if (part == u"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        const auto utf8 = WideToUtf8(part);
        if (!IsValidName(part) || !utf8) {
            error = kErrorInvalidName;
            return std::nullopt;
        }
        parts.push_back(*utf8);
    }
    for (const std::string& part : parts) {
        base /= part;
    }
    return base;
}

std::unique_ptr<FileHandle> PosixFileSystem::OpenFile(const std::u16string& path, unsigned flags,
                                                      uint32_t& error) {
    const auto native = NativePath(path, error);
    if (!native) {
        return nullptr;
    }
    int mode = (flags & kModeReadWrite) ? O_RDWR : (flags & kModeWrite) ? O_WRONLY : O_RDONLY;
    if (flags & kModeCreate) {
        mode |= O_CREAT | ((flags & kModeNoTruncate) ? 0 : O_TRUNC);
    }
    const int fd = ::open(native->c_str(), mode | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = WindowsError(errno, *native);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        error = kErrorAccessDenied; // Windows will not open a directory as a file
        return nullptr;
    }
    error = kErrorSuccess;
    return std::make_unique<PosixFileHandle>(fd);
}

uint32_t PosixFileSystem::MakeDirectory(const std::u16string& path) {
    uint32_t error = kErrorSuccess;
    const auto native = NativePath(path, error);
    if (!native) {
        return error;
    }
    return ::mkdir(native->c_str(), 0777) == 0 ? kErrorSuccess : WindowsError(errno, *native);
}

bool PosixFileSystem::IsDirectory(const std::u16string& path) {
    uint32_t error = kErrorSuccess;
    const auto native = NativePath(path, error);
    std::error_code ignored;
    return native && std::filesystem::is_directory(*native, ignored);
}

uint32_t PosixFileSystem::RemoveFile(const std::u16string& path) {
    uint32_t error = kErrorSuccess;
    const auto native = NativePath(path, error);
    if (!native) {
        return error;
    }
    return ::unlink(native->c_str()) == 0 ? kErrorSuccess : WindowsError(errno, *native);
}

PosixFileSystem& PlatformPosixFileSystem() {
    static PosixFileSystem files;
    return files;
}

FileSystem& PlatformFileSystem() {
    return PlatformPosixFileSystem();
}

} // namespace framework
