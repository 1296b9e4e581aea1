#pragma once
// The entries of one folder, by name; posix/ and win/ list them with the system's own calls.
#include <filesystem>
#include <string>
#include <vector>

namespace report {

struct folder_entry {
    std::string name; // UTF-8 on Windows, the bytes of the name elsewhere
    bool is_folder = false;
    bool name_readable = true; // false for a Windows name that is no valid UTF-16
};

// The entries sorted by name; false with `problem` set when the folder cannot be listed.
bool list_folder(const std::filesystem::path& folder, std::vector<folder_entry>& entries,
                 std::string& problem);

} // namespace report
