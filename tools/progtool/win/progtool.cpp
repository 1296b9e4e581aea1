// Stands in for the station's programming tool:
//   progtool <mode | @plan file> <result file>
// Modes: pass, failed, cancel (each writes its result file and ends), none (ends without a
// result), hang (never ends), readonly (a pass result made read-only), spawn (a child that
// keeps rewriting a pass result, and itself never ends) and rewrite (that child). With @plan
// file, every run takes the first line of that file as its mode and writes the file back
// without it, so one plan gives each station its own outcome. With QEL_PROGTOOL_LOG set, each
// run appends its start, mode and end to that file (win/run_log.h).
#include "codepage.h"
#include "progtool_mode.h"
#include "run_log.h"
#include "wide.h"

#include <windows.h>

#include <optional>
#include <string>

namespace {

std::string narrow(const std::wstring& text) {
    return framework::WideToUtf8(ToU16(text)).value_or(std::string());
}

std::wstring wide(const std::string& bytes) {
    return ToWide(framework::Utf8ToWide(bytes).value_or(std::u16string()));
}

void say(const std::wstring& text) {
    const std::wstring line = L"progtool: " + text + L"\r\n";
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const std::string bytes = narrow(line);
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> read_file(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

bool write_file(const wchar_t* path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    return CloseHandle(file) && ok;
}

// The mode word of this run: the argument itself, or the next line of a plan file.
std::optional<std::string> mode_word(const wchar_t* arg) {
    if (arg[0] != L'@') {
        return narrow(arg);
    }
    const wchar_t* plan = arg + 1;
    const auto text = read_file(plan);
    if (!text) {
        say(std::wstring(L"can not read the plan ") + plan);
        return std::nullopt;
    }
    const progtool::plan_step step = progtool::take_first_line(*text);
    if (step.first.empty()) {
        say(std::wstring(L"no mode left in the plan ") + plan);
        return std::nullopt;
    }
    if (!write_file(plan, step.rest)) {
        say(std::wstring(L"can not write the plan ") + plan);
        return std::nullopt;
    }
    return step.first;
}

[[noreturn]] void hang() {
    for (;;) {
        Sleep(INFINITE);
    }
}

constexpr DWORD kRewriteMs = 50;

// This program again in mode rewrite on the same result file, in no console of its own.
bool start_rewriter(const wchar_t* program, const wchar_t* result) {
    std::wstring line = L"\"" + std::wstring(program) + L"\" rewrite \"" + result + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &child)) {
        return false;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return true;
}

int run(int argc, wchar_t** argv, run_log& log) {
    if (argc != 3) {
        say(L"usage: progtool <mode|@plan file> <result file>");
        return 2;
    }
    const auto word = mode_word(argv[1]);
    if (!word) {
        return 2;
    }
    log.took(*word);
    const auto mode = progtool::parse_mode(*word);
    if (!mode) {
        say(L"unknown mode \"" + wide(*word) +
            L"\"; use pass, failed, cancel, none, hang, readonly, spawn or rewrite");
        return 2;
    }
    say(L"mode " + wide(*word));
    const std::string bytes = progtool::result_bytes(*mode);
    switch (*mode) {
    case progtool::mode::spawn:
        if (!start_rewriter(argv[0], argv[2])) {
            say(L"can not start the child");
            return 1;
        }
        hang();
    case progtool::mode::hang:
        hang();
    case progtool::mode::rewrite:
        for (;;) {
            write_file(argv[2], bytes);
            Sleep(kRewriteMs);
        }
    default:
        break;
    }
    if (!bytes.empty() && !write_file(argv[2], bytes)) {
        log.wrote_error();
        say(std::wstring(L"can not write the result ") + argv[2]);
        return 1;
    }
    if (*mode == progtool::mode::readonly &&
        !SetFileAttributesW(argv[2], FILE_ATTRIBUTE_READONLY)) {
        say(std::wstring(L"can not make the result read-only ") + argv[2]);
        return 1;
    }
    log.wrote(*mode);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    run_log log;
    const int code = run(argc, argv, log);
    log.end(code);
    return code;
}
