#include "run_log.h"

#include "run_log_line.h"

#include <cstdint>

namespace {

std::int64_t unix_ms(const FILETIME& time) {
    return progtool::unix_ms(static_cast<std::uint64_t>(time.dwHighDateTime) << 32 |
                             time.dwLowDateTime);
}

std::int64_t now_ms() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return unix_ms(now);
}

std::wstring log_path() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QEL_PROGTOOL_LOG", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

} // namespace

run_log::run_log() : path(log_path()), pid(GetCurrentProcessId()) {
    FILETIME created{}, exited{}, kernel{}, user{};
    const std::int64_t at = now_ms();
    const std::int64_t created_ms =
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) ? unix_ms(created)
                                                                                : at;
    append(progtool::start_line(pid, created_ms, at));
}

void run_log::took(std::string_view word) {
    append(progtool::took_line(pid, now_ms(), word));
}

void run_log::wrote(progtool::mode m) {
    result = progtool::result_word(m);
}

void run_log::wrote_error() {
    result = "error";
}

void run_log::end(int exit_code) {
    append(progtool::end_line(pid, now_ms(), result, exit_code));
}

// Append-only and one write a line, so the lines of runs at once never mix or overwrite
// each other; closed at once, so a run killed later has lost none of them.
void run_log::append(const std::string& line) {
    if (path.empty()) {
        return;
    }
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}
