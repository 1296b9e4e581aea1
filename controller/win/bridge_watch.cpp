#include "bridge_watch.h"

#include <string>

namespace {

// A bridge waits up to 5 s for its port's lock before its window comes up; process start-up
// takes a few seconds more on a loaded machine.
constexpr ULONGLONG kStartDeadlineMs = 15000;

// Another program may show the title too (a bridge started by hand for the same port).
bool ShowsItsWindow(int port, HANDLE process) {
    const std::wstring title = L"qel_link_com" + std::to_wstring(port);
    const DWORD id = GetProcessId(process);
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, title.c_str())) != nullptr) {
        DWORD owner = 0;
        if (GetWindowThreadProcessId(window, &owner) != 0 && owner == id) {
            return true;
        }
    }
    return false;
}

} // namespace

CBridgeWatch::~CBridgeWatch() {
    Clear();
}

void CBridgeWatch::Add(int port, HANDLE process) {
    m_launches.push_back({port, process, GetTickCount64() + kStartDeadlineMs});
}

std::vector<int> CBridgeWatch::Check() {
    std::vector<int> failed;
    std::vector<Launch> waiting;
    for (const Launch& launch : m_launches) {
        const bool ended = WaitForSingleObject(launch.process, 0) == WAIT_OBJECT_0;
        if (!ended && ShowsItsWindow(launch.port, launch.process)) {
            CloseHandle(launch.process);
        } else if (ended || GetTickCount64() >= launch.deadline) {
            failed.push_back(launch.port);
            CloseHandle(launch.process);
        } else {
            waiting.push_back(launch);
        }
    }
    m_launches = std::move(waiting);
    return failed;
}

void CBridgeWatch::Clear() {
    for (const Launch& launch : m_launches) {
        CloseHandle(launch.process);
    }
    m_launches.clear();
}
