#include "file_status.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

folder_status::folder_status(const std::filesystem::path& folder)
    : m_folder(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

folder_status::~folder_status() {
    if (m_folder >= 0) {
        ::close(m_folder);
    }
}

std::optional<file_status> folder_status::of(const std::string& name) const {
    struct stat status {};
    if (m_folder < 0 || ::fstatat(m_folder, name.c_str(), &status, 0) != 0) {
        return std::nullopt;
    }
    return file_status{static_cast<int64_t>(status.st_size),
                       static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                           status.st_mtim.tv_nsec};
}

} // namespace db
