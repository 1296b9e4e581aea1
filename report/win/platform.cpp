#include "platform.h"

#include "folder_listing.h"

#include <algorithm>
#include <cstdint>
#include <io.h>
#include <system_error>
#include <windows.h>

#include <shellapi.h>

namespace report {
namespace {

std::string error_text(const char* what) {
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ")";
}

// `name` in UTF-8 into `text`; false for a name that is no valid UTF-16 (a lone surrogate).
bool utf8_name(std::wstring_view name, std::string& text) {
    text.clear();
    for (size_t i = 0; i < name.size(); ++i) {
        uint32_t code = name[i];
        if (code >= 0xD800 && code <= 0xDFFF) {
            if (code > 0xDBFF || i + 1 == name.size() || name[i + 1] < 0xDC00 ||
                name[i + 1] > 0xDFFF) {
                text.clear();
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (name[++i] - 0xDC00u);
        }
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | code >> 6);
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += static_cast<char>(0xE0 | code >> 12);
            text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | code >> 18);
            text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return true;
}

} // namespace

bool list_folder(const std::filesystem::path& folder, std::vector<folder_entry>& entries,
                 std::string& problem) {
    entries.clear();
    // The listing gives each entry's kind and size, so no file needs a look of its own.
    WIN32_FIND_DATAW found;
    const std::wstring pattern = (folder / L"*").native();
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // A drive's root has no "." entry, so an empty one finds nothing.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return true;
        }
        problem = std::system_category().message(static_cast<int>(error));
        return false;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        folder_entry entry;
        entry.name_readable = utf8_name(name, entry.name);
        const DWORD attributes = found.dwFileAttributes;
        entry.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.kind = (attributes & FILE_ATTRIBUTE_DEVICE) != 0          ? file_kind::device
                     : (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? file_kind::reparse_point
                                                                        : file_kind::regular;
        if (!entry.is_folder) {
            entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        problem = std::system_category().message(static_cast<int>(error));
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const folder_entry& a, const folder_entry& b) { return a.name < b.name; });
    return true;
}

record_reader::~record_reader() = default;

std::optional<std::string_view> record_reader::read_file(const std::filesystem::path& folder,
                                                         const folder_entry& entry,
                                                         std::string& problem) {
    const std::filesystem::path path =
        folder / std::filesystem::path(std::u8string(entry.name.begin(), entry.name.end()));
    // Shared for writing and deleting too, so a station writing its records is not disturbed.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem = error_text("cannot open");
        return std::nullopt;
    }
    // Read up to the size the listing gave, with no further call to find the end, into a
    // buffer only as large as the largest file so far.
    const size_t expected = entry.size ? static_cast<size_t>(*entry.size) : 0;
    const size_t room = expected != 0 ? expected + 1 : max_record_bytes + 1;
    if (m_buffer.size() < room) {
        m_buffer.resize(room);
    }
    size_t size = 0;
    while (size < room && (size == 0 || size < expected)) {
        DWORD read = 0;
        if (!ReadFile(file, m_buffer.data() + size, static_cast<DWORD>(room - size), &read,
                      nullptr)) {
            problem = error_text("cannot read");
            CloseHandle(file);
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        size += read;
    }
    CloseHandle(file);
    if (size > max_record_bytes) {
        problem = record_too_large;
        return std::nullopt;
    }
    return std::string_view(m_buffer.data(), size);
}

std::vector<std::string> utf8_arguments(int, char**) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const std::u8string text = std::filesystem::path(wide[i]).u8string();
        arguments.emplace_back(text.begin(), text.end());
    }
    LocalFree(wide);
    return arguments;
}

bool is_terminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void use_utf8_console() {
    SetConsoleOutputCP(CP_UTF8);
}

} // namespace report
