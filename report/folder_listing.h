#pragma once
// The entries of one folder, by name; posix/ and win/ list them with the system's own calls.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// What an entry that is no folder is; only a regular file is ever opened, as opening a FIFO
// waits for a writer and a device may answer anything.
enum class file_kind { regular, fifo, device, socket, reparse_point, other };

struct folder_entry {
    std::string name; // UTF-8 on Windows, the bytes of the name elsewhere
    bool is_folder = false;
    file_kind kind = file_kind::regular; // of an entry that is no folder
    bool name_readable = true;           // false for a Windows name that is no valid UTF-16
    // The file's size where the listing tells it (Windows), so that no file is opened to
    // learn that it is empty or too large to be a record.
    std::optional<uint64_t> size;
};

// The entries sorted by name; false with `problem` set when the folder cannot be listed.
bool list_folder(const std::filesystem::path& folder, std::vector<folder_entry>& entries,
                 std::string& problem);

// Why a file of `kind` is not read: "not a regular file: a FIFO" and the like.
std::string not_regular_file(file_kind kind);

// read_record_file (platform.h) of an entry of a listing, at `path`; an entry that is no
// regular file, or whose listed size is too large, is refused without being opened, and a
// listed empty file is an empty text.
std::optional<std::string_view> read_listed_file(const std::filesystem::path& path,
                                                 const folder_entry& entry,
                                                 std::vector<char>& buffer, std::string& problem);

} // namespace report
