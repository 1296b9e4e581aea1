#include "folder_listing.h"

#include <algorithm>

namespace report {
namespace fs = std::filesystem;

bool list_folder(const fs::path& folder, std::vector<folder_entry>& entries, std::string& problem) {
    entries.clear();
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        folder_entry entry;
        try {
            const std::u8string name = it->path().filename().u8string();
            entry.name.assign(name.begin(), name.end());
        } catch (const std::exception&) {
            entry.name_readable = false;
        }
        std::error_code kind_error;
        entry.is_folder = it->is_directory(kind_error);
        entries.push_back(std::move(entry));
    }
    if (error) {
        problem = error.message();
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const folder_entry& a, const folder_entry& b) { return a.name < b.name; });
    return true;
}

} // namespace report
