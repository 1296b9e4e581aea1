// A second bus client for the probe's tests. It registers a hidden window under the given
// title and mask, appends one line to its record file for every notification (type word
// and payload bytes or value) and for WM_ENDSESSION, and posts what its command line
// gives once it is registered:
//   chanprobe_peer <title> <record file> <mask> [text <type> <text>]
//                  [bytes <type> <hex byte>...] [value <type> <number> [times]]
#include "lumo_binding.h"
#include "type_word.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr UINT kPostNow = WM_APP + 1;

struct Peer {
    std::string record;
    std::uint32_t mask = 0;
    std::vector<std::string> post; // kind, type, data...
    CLumoBinding bus;
};

Peer peer;

void Record(const std::string& line) {
    if (FILE* out = std::fopen(peer.record.c_str(), "ab")) {
        std::fprintf(out, "%s\n", line.c_str());
        std::fclose(out);
    }
}

std::string Hex(std::uint32_t value, const char* pattern = "%08x") {
    char text[16];
    std::snprintf(text, sizeof text, pattern, static_cast<unsigned>(value));
    return text;
}

std::uint32_t Number(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoll(text.c_str(), nullptr, 0));
}

void RecordEvent(HWND, WPARAM wParam, LPARAM lParam) {
    auto type = static_cast<std::uint32_t>(wParam);
    std::string line = "event " + Hex(type);
    if (!bus::carries_payload(type)) {
        line += " value " + std::to_string(static_cast<std::int32_t>(lParam));
    } else {
        std::uint32_t count = 0;
        const char* bytes = peer.bus.getp(static_cast<std::uint32_t>(lParam), &count);
        if (bytes == nullptr) {
            line += " no payload";
            count = 0;
        } else {
            line += " bytes " + std::to_string(count);
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            line += ' ';
            line += Hex(static_cast<unsigned char>(bytes[i]), "%02x");
        }
    }
    Record(line);
}

void PostFromCommandLine(HWND window) {
    const std::vector<std::string>& p = peer.post;
    std::uint32_t type = Number(p[1]);
    if (p[0] == "text") {
        peer.bus.post_data(window, type, reinterpret_cast<std::uintptr_t>(p[2].c_str()),
                           static_cast<std::uint32_t>(p[2].size()));
    } else if (p[0] == "bytes") {
        std::vector<unsigned char> bytes;
        for (std::size_t i = 2; i < p.size(); ++i) {
            bytes.push_back(static_cast<unsigned char>(std::strtoul(p[i].c_str(), nullptr, 16)));
        }
        peer.bus.post_data(window, type, reinterpret_cast<std::uintptr_t>(bytes.data()),
                           static_cast<std::uint32_t>(bytes.size()));
    } else {
        std::uint32_t times = p.size() > 3 ? Number(p[3]) : 1;
        for (std::uint32_t i = 0; i < times; ++i) {
            peer.bus.post_data(window, type, Number(p[2]), sizeof(std::uint32_t));
        }
    }
    Record("posted");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case bus::kWmBusEvent:
        RecordEvent(window, wParam, lParam);
        return 0;
    case kPostNow:
        PostFromCommandLine(window);
        return 0;
    case WM_ENDSESSION:
        Record("endsession " + std::to_string(wParam));
        if (wParam) {
            peer.bus.Unload(window);
        }
        return 0;
    case WM_DESTROY:
        peer.bus.Unload(window);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) {
        return 2;
    }
    const char* title = __argv[1];
    peer.record = __argv[2];
    peer.mask = Number(__argv[3]);
    peer.post.assign(__argv + 4, __argv + __argc);
    if (!peer.post.empty() && peer.post.size() < 3) {
        Record("bad post arguments");
        return 2;
    }

    WNDCLASSA cls = {};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = "chanprobe_peer";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, title, WS_OVERLAPPED, 0, 0, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (!peer.bus.Load(window)) {
        Record("load failed");
        DestroyWindow(window);
        return 3;
    }
    peer.bus.register_window(window, peer.mask, "peer");
    Record("registered " +
           Hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window))));
    if (!peer.post.empty()) {
        PostMessageA(window, kPostNow, 0, 0);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
