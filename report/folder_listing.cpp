#include "folder_listing.h"

#include "platform.h"

namespace report {

std::string not_regular_file(file_kind kind) {
    switch (kind) {
    case file_kind::regular:
        break;
    case file_kind::fifo:
        return "not a regular file: a FIFO";
    case file_kind::device:
        return "not a regular file: a device";
    case file_kind::socket:
        return "not a regular file: a socket";
    case file_kind::reparse_point:
        return "not a regular file: a reparse point";
    case file_kind::other:
        return "not a regular file";
    }
    return "";
}

std::optional<std::string_view> record_reader::read(const std::filesystem::path& folder,
                                                    const folder_entry& entry,
                                                    std::string& problem) {
    if (entry.kind != file_kind::regular) {
        problem = not_regular_file(entry.kind);
        return std::nullopt;
    }
    if (entry.size && *entry.size > max_record_bytes) {
        problem = record_too_large;
        return std::nullopt;
    }
    if (entry.size && *entry.size == 0) {
        return std::string_view();
    }
    return read_file(folder, entry, problem);
}

} // namespace report
