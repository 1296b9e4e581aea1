// Drives the windows of other programs for tests: find, press, read, type, dismiss.
// Every wait has a deadline; failures print what was waited for and exit non-zero.
#include "args.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const UINT kSendTimeoutMs = 5000;

void write_out(HANDLE h, const std::wstring& text) {
    std::string bytes = uidriver::to_utf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void print(const std::wstring& text) {
    write_out(GetStdHandle(STD_OUTPUT_HANDLE), text + L"\n");
}

int fail(const std::wstring& text) {
    write_out(GetStdHandle(STD_ERROR_HANDLE), L"uidriver: " + text + L"\n");
    return 1;
}

std::wstring hex(ULONG_PTR value) {
    wchar_t buf[32];
    wsprintfW(buf, L"%IX", value);
    return buf;
}

// Text of any window, also in another process (WM_GETTEXT is marshalled).
std::wstring window_text(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length)) {
        return L"";
    }
    std::vector<wchar_t> buf(length + 1);
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
    return std::wstring(buf.data(), copied);
}

template <typename Found> HWND wait_for(unsigned wait_ms, Found found) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = found()) {
            return hwnd;
        }
        if (GetTickCount() - start >= wait_ms) {
            return nullptr;
        }
        Sleep(50);
    }
}

HWND find_title(const wchar_t* title, unsigned wait_ms) {
    return wait_for(wait_ms, [&] { return FindWindowW(nullptr, title); });
}

struct MessageBoxSearch {
    const wchar_t* needle;
    HWND box;
    std::wstring text;
};

BOOL CALLBACK match_message_box(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<MessageBoxSearch*>(param);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0) {
        return TRUE;
    }
    HWND label = GetDlgItem(hwnd, 0xFFFF);
    if (label == nullptr) {
        return TRUE;
    }
    std::wstring text = window_text(label);
    if (text.find(search->needle) == std::wstring::npos) {
        return TRUE;
    }
    search->box = hwnd;
    search->text = text;
    return FALSE;
}

BOOL CALLBACK list_window(HWND hwnd, LPARAM) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    print(hex(reinterpret_cast<ULONG_PTR>(hwnd)) + L" " + cls + L" \"" + window_text(hwnd) + L"\"" +
          (IsWindowVisible(hwnd) ? L"" : L" hidden"));
    return TRUE;
}

struct Args {
    int argc;
    wchar_t** argv;
    const wchar_t* at(int i) const { return i < argc ? argv[i] : nullptr; }
};

// Resolves "<title> <id>" into a control; id 0 is the top-level window itself.
HWND control(const Args& a, int title_at, std::wstring& error) {
    const wchar_t* title = a.at(title_at);
    auto id = a.at(title_at + 1) ? uidriver::parse_number(a.at(title_at + 1)) : std::nullopt;
    if (!title || !id) {
        error = L"expected a window title and a control id";
        return nullptr;
    }
    HWND top = find_title(title, 5000);
    if (!top) {
        error = std::wstring(L"no window titled \"") + title + L"\"";
        return nullptr;
    }
    if (*id == 0) {
        return top;
    }
    HWND item = GetDlgItem(top, static_cast<int>(*id));
    if (!item) {
        error = std::wstring(L"window \"") + title + L"\" has no control " + a.at(title_at + 1);
    }
    return item;
}

int run(const Args& a) {
    std::wstring cmd = a.at(1) ? a.at(1) : L"";
    std::wstring error;
    if (cmd == L"find" || cmd == L"gone") {
        auto wait = uidriver::parse_wait(a.at(3), 10000);
        if (!a.at(2) || !wait) {
            return fail(L"usage: " + cmd + L" <title> [wait-ms]");
        }
        if (cmd == L"find") {
            HWND hwnd = find_title(a.at(2), *wait);
            if (!hwnd) {
                return fail(std::wstring(L"timed out waiting for a window titled \"") + a.at(2) +
                            L"\"");
            }
            print(hex(reinterpret_cast<ULONG_PTR>(hwnd)));
            return 0;
        }
        DWORD start = GetTickCount();
        while (FindWindowW(nullptr, a.at(2))) {
            if (GetTickCount() - start >= *wait) {
                return fail(std::wstring(L"window \"") + a.at(2) + L"\" is still there");
            }
            Sleep(50);
        }
        return 0;
    }
    if (cmd == L"click" || cmd == L"command") {
        HWND item = control(a, 2, error);
        if (!item) {
            return fail(error);
        }
        HWND parent = GetAncestor(item, GA_PARENT);
        WPARAM wparam = MAKEWPARAM(GetDlgCtrlID(item), BN_CLICKED);
        // click goes through the button like a mouse; command posts the id straight to the owner
        BOOL ok = cmd == L"click" ? PostMessageW(item, BM_CLICK, 0, 0)
                                  : PostMessageW(parent, WM_COMMAND, wparam, (LPARAM)item);
        return ok ? 0 : fail(L"could not post to the control");
    }
    if (cmd == L"settext") {
        HWND item = control(a, 2, error);
        if (!item || !a.at(4)) {
            return fail(item ? L"usage: settext <title> <id> <text>" : error);
        }
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.at(4)),
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
            return fail(L"the window did not take the text");
        }
        return 0;
    }
    if (cmd == L"gettext" || cmd == L"checked" || cmd == L"enabled") {
        HWND item = control(a, 2, error);
        if (!item) {
            return fail(error);
        }
        if (cmd == L"gettext") {
            print(window_text(item));
        } else if (cmd == L"enabled") {
            print(IsWindowEnabled(item) ? L"1" : L"0");
        } else {
            DWORD_PTR state = 0;
            SendMessageTimeoutW(item, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
            print(std::to_wstring(state));
        }
        return 0;
    }
    if (cmd == L"msgbox") {
        auto wait = uidriver::parse_wait(a.at(3), 10000);
        auto button = a.at(4) ? uidriver::parse_number(a.at(4)) : std::optional<uint64_t>(IDOK);
        if (!a.at(2) || !wait || !button) {
            return fail(L"usage: msgbox <text-part> [wait-ms] [button-id]");
        }
        MessageBoxSearch search{a.at(2), nullptr, L""};
        wait_for(*wait, [&] {
            EnumWindows(match_message_box, reinterpret_cast<LPARAM>(&search));
            return search.box;
        });
        if (!search.box) {
            return fail(std::wstring(L"timed out waiting for a message box saying \"") + a.at(2) +
                        L"\"");
        }
        print(search.text);
        PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(*button, BN_CLICKED), 0);
        return 0;
    }
    if (cmd == L"post") {
        HWND top = a.at(2) ? find_title(a.at(2), 5000) : nullptr;
        auto msg = a.at(3) ? uidriver::parse_number(a.at(3)) : std::nullopt;
        auto wparam = a.at(4) ? uidriver::parse_number(a.at(4)) : std::nullopt;
        auto lparam = a.at(5) ? uidriver::parse_number(a.at(5)) : std::nullopt;
        if (!top || !msg || !wparam || !lparam) {
            return fail(L"usage: post <title> <message> <wparam> <lparam> (window must exist)");
        }
        return PostMessageW(top, static_cast<UINT>(*msg), static_cast<WPARAM>(*wparam),
                            static_cast<LPARAM>(*lparam))
                   ? 0
                   : fail(L"PostMessage failed");
    }
    if (cmd == L"hold") {
        // A process that keeps a named object in being for a while after a window has
        // gone, as a program does while it is still ending.
        auto linger = uidriver::parse_wait(a.at(4), 0);
        if (!a.at(2) || !a.at(3) || !linger) {
            return fail(L"usage: hold <mutex name> <title> <ms after the window has gone>");
        }
        HANDLE held = CreateMutexW(nullptr, FALSE, a.at(2));
        if (held == nullptr) {
            return fail(L"could not open the mutex");
        }
        print(L"held");
        const DWORD start = GetTickCount();
        while (FindWindowW(nullptr, a.at(3)) && GetTickCount() - start < 30000) {
            Sleep(50);
        }
        Sleep(*linger);
        CloseHandle(held);
        print(L"released");
        return 0;
    }
    if (cmd == L"list") {
        EnumWindows(list_window, 0);
        return 0;
    }
    return fail(L"commands: find, gone, click, command, settext, gettext, checked, enabled, "
                L"msgbox, post, hold, list");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return run(Args{argc, argv});
}
