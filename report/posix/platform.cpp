#include "platform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace report {

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
