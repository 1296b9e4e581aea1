#include "platform.h"

#include "folder_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace report {

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
            // A link is taken for what it leads to; some file systems tell no type at all.
            struct stat target {};
            if ((found->d_type == DT_LNK || found->d_type == DT_UNKNOWN) &&
                ::fstatat(::dirfd(dir), found->d_name, &target, 0) == 0) {
                entry.is_folder = S_ISDIR(target.st_mode);
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

std::optional<std::string_view> read_record_file(const std::filesystem::path& path,
                                                 std::vector<char>& buffer, std::string& problem) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        problem = std::string("cannot open: ") + std::strerror(errno);
        return std::nullopt;
    }
    buffer.resize(max_record_bytes + 1);
    size_t size = 0;
    while (size < buffer.size()) {
        const ssize_t n = ::read(fd, buffer.data() + size, buffer.size() - size);
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
        problem = "larger than 1 MiB; no record is";
        return std::nullopt;
    }
    return std::string_view(buffer.data(), size);
}

std::vector<std::string> utf8_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool is_terminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) != 0;
}

void use_utf8_console() {}

} // namespace report
