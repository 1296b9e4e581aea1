#include "platform.h"

#include "folder_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace report {
namespace {

file_kind kind_of(mode_t mode) {
    return S_ISREG(mode)                    ? file_kind::regular
           : S_ISFIFO(mode)                 ? file_kind::fifo
           : S_ISCHR(mode) || S_ISBLK(mode) ? file_kind::device
           : S_ISSOCK(mode)                 ? file_kind::socket
                                            : file_kind::other;
}

file_kind kind_of(unsigned char type) {
    switch (type) {
    case DT_REG:
        return file_kind::regular;
    case DT_FIFO:
        return file_kind::fifo;
    case DT_CHR:
    case DT_BLK:
        return file_kind::device;
    case DT_SOCK:
        return file_kind::socket;
    default:
        return file_kind::other;
    }
}

} // namespace

bool list_folder(const std::filesystem::path& folder, std::vector<folder_entry>& entries,
                 std::string& problem) {
    entries.clear();
    DIR* const dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        problem = std::strerror(errno);
        return false;
    }
    errno = 0;
    while (const dirent* found = ::readdir(dir)) {
        const std::string_view name = found->d_name;
        if (name != "." && name != "..") {
            folder_entry entry;
            entry.name = name;
            entry.is_folder = found->d_type == DT_DIR;
            entry.kind = kind_of(found->d_type);
            // A link is taken for what it leads to; some file systems tell no type at all.
            // One whose target cannot be looked at is left for the open to say why.
            if (found->d_type == DT_LNK || found->d_type == DT_UNKNOWN) {
                struct stat target {};
                const bool known = ::fstatat(::dirfd(dir), found->d_name, &target, 0) == 0;
                entry.is_folder = known && S_ISDIR(target.st_mode);
                entry.kind = known ? kind_of(target.st_mode) : file_kind::regular;
            }
            entries.push_back(std::move(entry));
        }
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0) {
        problem = std::strerror(error);
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const folder_entry& a, const folder_entry& b) { return a.name < b.name; });
    return true;
}

record_reader::~record_reader() {
    if (m_folder_handle >= 0) {
        ::close(static_cast<int>(m_folder_handle));
    }
}

std::optional<std::string_view> record_reader::read_file(const std::filesystem::path& folder,
                                                         const folder_entry& entry,
                                                         std::string& problem) {
    // Each file is opened relative to its folder, which spares the system walking the path.
    if (m_folder_handle < 0 || folder.native() != m_folder.native()) {
        if (m_folder_handle >= 0) {
            ::close(static_cast<int>(m_folder_handle));
        }
        m_folder = folder;
        m_folder_handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    int at = static_cast<int>(m_folder_handle);
    const char* name = entry.name.c_str();
    std::string whole; // the path, where the folder could not be kept open
    if (at < 0) {
        whole = (folder / entry.name).native();
        at = AT_FDCWD;
        name = whole.c_str();
    }
    // Not blocking: a FIFO put there since the listing must not stop the run.
    const int fd = ::openat(at, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = std::string("cannot open: ") + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        problem = known ? not_regular_file(kind_of(status.st_mode))
                        : std::string("cannot read: ") + std::strerror(errno);
        ::close(fd);
        return std::nullopt;
    }
    if (static_cast<uint64_t>(status.st_size) > max_record_bytes) {
        ::close(fd);
        problem = record_too_large;
        return std::nullopt;
    }
    // Read up to the size fstat gave, with no further call to find the end (one that grows
    // meanwhile is read up to that size, as if read a moment earlier), into a buffer only as
    // large as the largest file so far.
    const auto expected = static_cast<size_t>(status.st_size);
    const size_t room = expected != 0 ? expected + 1 : max_record_bytes + 1;
    if (m_buffer.size() < room) {
        m_buffer.resize(room);
    }
    size_t size = 0;
    while (size < room && (size == 0 || size < expected)) {
        const ssize_t n = ::read(fd, m_buffer.data() + size, room - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            problem = std::string("cannot read: ") + std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<size_t>(n);
    }
    ::close(fd);
    if (size > max_record_bytes) {
        problem = record_too_large;
        return std::nullopt;
    }
    return std::string_view(m_buffer.data(), size);
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool is_terminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

void use_utf8_console() {}

} // namespace report
