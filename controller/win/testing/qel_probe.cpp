// Reads and pokes what the UI driver does not reach, for the controller's Wine tests:
//   zoomed <title>            1 when the window is maximised, else 0
//   focus <title>             the control id of the keyboard focus in that window's thread
//   key <title> <vk>          a key press (down and up) sent to that focus
//   type <title> <id> <text>  the text typed into a control, one WM_CHAR per character
//   rect <title> <id>         the control's left, top, right, bottom in client coordinates
//   children <title>          one line per child window: id, class and text (UTF-8)
//   gui <title>               the GUI objects of the window's process:
//                             "pid P gdi N user M handles H windows W"
// Failures print what was missing and exit non-zero.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int fail(const wchar_t* text) {
    std::fwprintf(stderr, L"qel_probe: %ls\n", text);
    return 1;
}

void print_utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

BOOL CALLBACK print_child(HWND child, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    print_utf8(std::to_wstring(GetDlgCtrlID(child)) + L" " + cls + L" " + text + L"\n");
    return TRUE;
}

// Counts the windows a process owns, top-level and child.
struct window_count {
    DWORD pid;
    int count;
};

BOOL CALLBACK count_child(HWND window, LPARAM data) {
    auto* counted = reinterpret_cast<window_count*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    counted->count += owner == counted->pid ? 1 : 0;
    return TRUE;
}

BOOL CALLBACK count_top(HWND window, LPARAM data) {
    count_child(window, data);
    EnumChildWindows(window, count_child, data);
    return TRUE;
}

// Wine's GetGuiResources answers 0 for everything, so the kernel handles and the windows of
// the process are printed too: counts that do move when a program leaks.
int print_gui(HWND top) {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return fail(L"can not open the window's process");
    }
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    DWORD handles = 0;
    const bool counted = GetProcessHandleCount(process, &handles);
    CloseHandle(process);
    window_count windows{pid, 0};
    EnumWindows(count_top, reinterpret_cast<LPARAM>(&windows));
    std::printf("pid %lu gdi %lu user %lu handles %s windows %d\n", pid, gdi, user,
                counted ? std::to_string(handles).c_str() : "?", windows.count);
    return 0;
}

HWND focus_of(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ? info.hwndFocus
                                                                           : nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return fail(L"usage: qel_probe zoomed|focus|key|type|rect|children|gui <title> ...");
    }
    const std::wstring cmd = argv[1];
    HWND top = FindWindowW(nullptr, argv[2]);
    if (top == nullptr) {
        return fail(L"no such window");
    }
    if (cmd == L"children") {
        EnumChildWindows(top, print_child, 0);
        return 0;
    }
    if (cmd == L"gui") {
        return print_gui(top);
    }
    if (cmd == L"zoomed") {
        std::printf("%d\n", IsZoomed(top) ? 1 : 0);
        return 0;
    }
    HWND focus = focus_of(top);
    if (cmd == L"focus") {
        std::printf("%d\n", focus != nullptr ? GetDlgCtrlID(focus) : 0);
        return 0;
    }
    if (cmd == L"key" && argc > 3) {
        if (focus == nullptr) {
            return fail(L"nothing has the focus");
        }
        const auto vk = static_cast<WPARAM>(std::wcstoul(argv[3], nullptr, 0));
        PostMessageW(focus, WM_KEYDOWN, vk, 1);
        PostMessageW(focus, WM_KEYUP, vk, 0xC0000001);
        return 0;
    }
    HWND control =
        argc > 3 ? GetDlgItem(top, static_cast<int>(std::wcstol(argv[3], nullptr, 0))) : nullptr;
    if (control == nullptr) {
        return fail(L"no such control");
    }
    if (cmd == L"type" && argc > 4) {
        for (const wchar_t* c = argv[4]; *c != L'\0'; ++c) {
            PostMessageW(control, WM_CHAR, *c, 1);
        }
        return 0;
    }
    if (cmd == L"rect") {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rect), 2);
        std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    return fail(L"unknown command or missing argument");
}
