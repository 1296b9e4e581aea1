#pragma once
// Size and modification time of a folder's files, asked relative to the folder held open:
// what tells an unchanged file without reading it.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace db {

struct file_status {
    int64_t size = 0;
    int64_t mtime = 0; // nanoseconds since 1970
};

class folder_status {
public:
    explicit folder_status(const std::filesystem::path& folder);
    ~folder_status();
    folder_status(const folder_status&) = delete;
    folder_status& operator=(const folder_status&) = delete;

    // Nullopt when the entry is gone or cannot be asked about.
    std::optional<file_status> of(const std::string& name) const;

private:
    int m_folder = -1;
};

} // namespace db
