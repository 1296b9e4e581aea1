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

// Reads listed files, a folder's files one after another: the folder is kept open meanwhile
// (POSIX opens each file relative to it), and one buffer serves them all.
class record_reader {
public:
    record_reader() = default;
    ~record_reader();
    record_reader(const record_reader&) = delete;
    record_reader& operator=(const record_reader&) = delete;

    // The whole file `entry` of `folder`, viewed in the reader's buffer until the next read;
    // nullopt with `problem` set when it cannot be read, is no regular file (never waited on,
    // and not opened when the listing says so) or is larger than max_record_bytes. A file
    // the listing gives as empty is an empty text, unopened.
    std::optional<std::string_view> read(const std::filesystem::path& folder,
                                         const folder_entry& entry, std::string& problem);

private:
    // The platform's part of read(), for a file the listing does not refuse.
    std::optional<std::string_view> read_file(const std::filesystem::path& folder,
                                              const folder_entry& entry, std::string& problem);

    std::vector<char> m_buffer;
    std::filesystem::path m_folder; // the folder kept open
    intptr_t m_folder_handle = -1;  // the system's handle of it, where the platform keeps one
};

} // namespace report
