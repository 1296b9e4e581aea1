// Stands in for the serial bridge in the controller's tests: "fake_qel_link <port> <mode>"
// appends "<creation time> started args=<arguments> cwd=<working directory>" to
// qel_link_calls.log beside itself, shows a window titled "qel_link_com<port>" and, on
// WM_COMMAND IDOK, appends "<creation time> closed args=<arguments>" and ends, unless its mode
// is "keep", which ignores the close command, "slow", which ends three seconds after it
// (as a bridge does whose window waits behind a message box), or "linger", whose window goes
// at once and whose process ends three seconds later, appending "<time> ended args=..." then
// (as a process that is still ending).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool keep_open = false;
bool slow_close = false;
bool linger = false;
constexpr UINT_PTR kCloseTimer = 1;
std::wstring arguments;

std::string utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

unsigned long long stamp_of(FILETIME time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

unsigned long long creation_time() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return stamp_of(created);
}

// Launch order is read back from the process creation times.
void record(const char* event, bool with_cwd, unsigned long long stamp = creation_time()) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log(path);
    log = log.substr(0, log.find_last_of(L'\\')) + L"\\qel_link_calls.log";
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::string line = std::to_string(stamp) + " " + event + " args=" + utf8(arguments) +
                             (with_cwd ? " cwd=" + utf8(cwd) : std::string()) + "\n";
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_COMMAND && LOWORD(wparam) == IDOK) {
        if (slow_close) {
            // Counted from the first close command, as a dialog that has been ended.
            SetTimer(hwnd, kCloseTimer, 3000, nullptr);
            slow_close = false;
            keep_open = true;
        } else if (!keep_open) {
            record("closed", false);
            DestroyWindow(hwnd);
        }
        return 0;
    }
    if (msg == WM_TIMER && wparam == kCloseTimer) {
        record("closed", false);
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const int argc = __argc;
    wchar_t** argv = __wargv;
    for (int i = 1; i < argc; ++i) {
        arguments += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    }
    record("started", true);
    if (argc < 2) {
        return 2;
    }
    keep_open = argc > 2 && std::wstring(argv[2]) == L"keep";
    slow_close = argc > 2 && std::wstring(argv[2]) == L"slow";
    linger = argc > 2 && std::wstring(argv[2]) == L"linger";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"fake_qel_link";
    RegisterClassW(&wc);
    const std::wstring title = L"qel_link_com" + std::wstring(argv[1]);
    CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 80, nullptr,
                  nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    if (linger) {
        Sleep(3000);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        record("ended", false, stamp_of(now));
    }
    return 0;
}
