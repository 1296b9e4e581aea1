#include "platform.h"

#include "folder_listing.h"

#include <algorithm>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace report {
namespace {

std::string error_text(const char* what) {
    return std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ")";
}

} // namespace

bool list_folder(const std::filesystem::path& folder, std::vector<folder_entry>& entries,
                 std::string& problem) {
    namespace fs = std::filesystem;
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

std::optional<std::string_view> read_record_file(const std::filesystem::path& path,
                                                 std::vector<char>& buffer, std::string& problem) {
    // Shared for writing and deleting too, so a station writing its records is not disturbed.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem = error_text("cannot open");
        return std::nullopt;
    }
    buffer.resize(max_record_bytes + 1);
    size_t size = 0;
    while (size < buffer.size()) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data() + size, static_cast<DWORD>(buffer.size() - size), &read,
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
        problem = "larger than 1 MiB; no record is";
        return std::nullopt;
    }
    return std::string_view(buffer.data(), size);
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
