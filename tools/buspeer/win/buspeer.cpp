// A scripted bus client for tests: registers a window, logs every bus notification to a
// file, and carries out commands read line by line from stdin (see usage()).
#include "binding.h"
#include "lumo_api.h"
#include "peer_text.h"
#include "type_word.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>

namespace {

const UINT kWmCommandLine = WM_APP + 1;

FILE* log_file = nullptr;
HWND peer_window = nullptr;
LumoPostData raw_post = nullptr;
std::mutex pending_lock;
std::deque<std::string> pending;

void log_line(const std::string& line) {
    std::fputs((line + "\n").c_str(), log_file);
    std::fflush(log_file);
}

std::string hex8(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

void on_bus_event(WPARAM wparam, LPARAM lparam) {
    auto type = static_cast<std::uint32_t>(wparam);
    if (!bus::carries_payload(type)) {
        log_line("recv TYPE=" + hex8(type) +
                 " VALUE=" + std::to_string(static_cast<std::int32_t>(lparam)));
        return;
    }
    std::uint32_t count = 0;
    char* bytes = bus_fetch(static_cast<std::uint32_t>(lparam), &count);
    if (bytes == nullptr) {
        log_line("recv TYPE=" + hex8(type) + " NULL COUNT=" + std::to_string(count));
        return;
    }
    log_line("recv TYPE=" + hex8(type) + " LEN=" + std::to_string(count) +
             " DATA=" + buspeer::escape(std::string_view(bytes, count)) +
             " ZERO=" + (bytes[count] == '\0' ? "1" : "0"));
}

std::uint32_t number(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoll(text.c_str(), nullptr, 0));
}

void post(std::uint32_t type, std::uintptr_t data, std::uint32_t length) {
    int rc = raw_post ? raw_post(peer_window, type, data, length) : -1;
    log_line("posted " + std::to_string(rc));
}

// One command; the rest of the line after the arguments is free text.
bool run_command(const std::string& line) {
    std::istringstream in(line);
    std::string cmd, a, b;
    in >> cmd;
    if (cmd == "quit") {
        return false;
    }
    in >> a;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (cmd == "register") {
        bus_register(peer_window, number(a), rest.empty() ? "peer" : rest.c_str());
    } else if (cmd == "unregister") {
        bus_unregister(peer_window);
    } else if (cmd == "text" || cmd == "bindtext") {
        auto text = buspeer::unescape(rest);
        if (!text) {
            log_line("bad text");
        } else if (cmd == "bindtext") {
            bus_post_text(peer_window, number(a), text->c_str()); // through the binding
            log_line("posted 1");
        } else {
            post(number(a), reinterpret_cast<std::uintptr_t>(text->data()),
                 static_cast<std::uint32_t>(text->size()));
        }
    } else if (cmd == "bytes") {
        auto bytes = buspeer::parse_hex_bytes(rest);
        if (!bytes) {
            log_line("bad bytes");
        } else {
            post(number(a), reinterpret_cast<std::uintptr_t>(bytes->data()),
                 static_cast<std::uint32_t>(bytes->size()));
        }
    } else if (cmd == "value") {
        post(number(a),
             static_cast<std::uintptr_t>(static_cast<std::intptr_t>(
                 static_cast<std::int32_t>(std::strtoll(rest.c_str(), nullptr, 0)))),
             4);
    } else if (cmd == "big") {
        std::string payload(number(rest), 'b');
        post(number(a), reinterpret_cast<std::uintptr_t>(payload.data()),
             static_cast<std::uint32_t>(payload.size()));
    } else if (cmd == "setstr") {
        bus_set_text(a.c_str(), rest.c_str());
    } else if (cmd == "setvar") {
        auto set_var = reinterpret_cast<LumoSetPublicVar>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"lumo.dll"), "lumoSetPublicVar")));
        if (set_var) {
            set_var(number(a), number(rest));
        }
    } else if (cmd == "info") {
        auto get_info = reinterpret_cast<LumoGetInfo>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"lumo.dll"), "lumoGetInfo")));
        const char* text = get_info ? get_info(number(a)) : nullptr;
        log_line("info " + a + " " + (text ? buspeer::escape(text) : "NULL"));
    } else if (cmd == "fetch") {
        std::uint32_t count = 12345;
        char* bytes = bus_fetch(number(a), &count);
        log_line(std::string("fetch ") + (bytes ? "bytes" : "null") +
                 " COUNT=" + std::to_string(count));
    } else if (cmd == "sync") {
        log_line("sync " + a);
    } else {
        log_line("unknown command " + cmd);
    }
    return true;
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == bus::kWmBusEvent) {
        on_bus_event(wparam, lparam);
        return 0;
    }
    if (msg == kWmCommandLine) {
        std::deque<std::string> lines;
        {
            std::lock_guard<std::mutex> guard(pending_lock);
            lines.swap(pending);
        }
        for (const std::string& line : lines) {
            if (!run_command(line)) {
                DestroyWindow(hwnd);
                return 0;
            }
        }
        return 0;
    }
    if (msg == WM_DESTROY) {
        bus_unregister(hwnd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wparam, lparam);
}

// Reads stdin on its own thread; the window thread does every bus call.
DWORD WINAPI read_commands(LPVOID) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    std::string line;
    char c;
    DWORD got = 0;
    while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\r') {
            continue;
        }
        if (c != '\n') {
            line += c;
            continue;
        }
        {
            std::lock_guard<std::mutex> guard(pending_lock);
            pending.push_back(line);
        }
        line.clear();
        PostMessageW(peer_window, kWmCommandLine, 0, 0);
    }
    return 0;
}

} // namespace

// buspeer.exe <window title> <log file> [mask [client name]]
int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: buspeer <title> <log> [mask [name]]; commands on stdin: register, "
                   "unregister, text, bindtext, bytes, value, big, setstr, setvar, info, fetch, "
                   "sync, quit\n",
                   stderr);
        return 2;
    }
    log_file = _wfopen(argv[2], L"wb");
    if (log_file == nullptr) {
        return 2;
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"buspeer";
    RegisterClassW(&wc);
    peer_window = CreateWindowW(L"buspeer", argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
    bool loaded = bus_load(bus::kControllerText);
    log_line(std::string("load ") + (loaded ? "1" : "0") + " module " +
             (GetModuleHandleW(L"lumo.dll") ? "1" : "0"));
    if (loaded) {
        raw_post = reinterpret_cast<LumoPostData>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"lumo.dll"), "lumoPostData")));
    }
    if (argc >= 4) {
        char name[64] = "peer";
        if (argc >= 5) {
            WideCharToMultiByte(CP_ACP, 0, argv[4], -1, name, sizeof name, nullptr, nullptr);
        }
        bus_register(peer_window, static_cast<std::uint32_t>(wcstoul(argv[3], nullptr, 0)), name);
    }
    log_line("ready HWND=" +
             hex8(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(peer_window))));
    CreateThread(nullptr, 0, read_commands, nullptr, 0, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    bus_unload();
    std::fclose(log_file);
    return 0;
}
