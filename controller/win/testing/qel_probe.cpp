// Reads and pokes what the UI driver does not reach, for the controller's Wine tests:
//   zoomed <title>            1 when the window is maximised, else 0
//   focus <title>             the control id of the keyboard focus in that window's thread
//   key <title> <vk>          a key press (down and up) sent to that focus
//   type <title> <id> <text>  the text typed into a control, one WM_CHAR per character
//   rect <title> <id>         the control's left, top, right, bottom in client coordinates
//   children <title>          one line per child window: id, class and text (UTF-8)
//   gui <title>               the GUI objects of the window's process:
//                             "pid P gdi N user M gdi_table G windows W"
// Failures print what was missing and exit non-zero.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

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

// The in-use entries of a process's GDI handle table, which Wine keeps per process and
// points to from the PEB (GdiSharedHandleTable, at 0xF8 in a 64-bit PEB): 0x10000 entries
// of 24 bytes, the object type at byte 14, 0 when free. -1 when it can not be read.
long gdi_table_entries(DWORD pid) {
    using query_fn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<query_fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (query == nullptr || process == nullptr) {
        return -1;
    }
    constexpr SIZE_T kEntry = 24, kEntries = 0x10000, kTableAt = 0xF8, kTypeAt = 14;
    PROCESS_BASIC_INFORMATION basic{};
    char* table = nullptr;
    long used = -1;
    if (query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, reinterpret_cast<char*>(basic.PebBaseAddress) + kTableAt, &table,
                          sizeof table, nullptr) &&
        table != nullptr) {
        std::vector<unsigned char> entries(kEntry * kEntries);
        if (ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) {
            used = 0;
            for (SIZE_T at = kTypeAt; at < entries.size(); at += kEntry) {
                used += entries[at] != 0 ? 1 : 0;
            }
        }
    }
    CloseHandle(process);
    return used;
}

// GetGuiResources of the window's process; Wine answers 0 for both, so the GDI handle table
// and the windows of the process are counted as well.
int print_gui(HWND top) {
    DWORD pid = 0;
    GetWindowThreadProcessId(top, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return fail(L"can not open the window's process");
    }
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    CloseHandle(process);
    window_count windows{pid, 0};
    EnumWindows(count_top, reinterpret_cast<LPARAM>(&windows));
    std::printf("pid %lu gdi %lu user %lu gdi_table %ld windows %d\n", pid, gdi, user,
                gdi_table_entries(pid), windows.count);
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
