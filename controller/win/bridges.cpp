#include "bridges.h"

#include "bridge_ports.h"
#include "module_path.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>

namespace {

// A bridge ends itself on the close command within milliseconds, unless its window waits
// behind a message box (a bridge that cannot load the bus), which an operator closes in a
// few seconds. Past this a bridge is given up on; the window stays frozen meanwhile, so
// longer would cost more than the bridge is worth.
constexpr ULONGLONG kCloseDeadlineMs = 5000;
constexpr DWORD kPauseAfterCloseMs = 10;
// A bridge whose window no longer answers does not freeze the controller.
constexpr UINT kCloseCommandTimeoutMs = 5000;

BridgeLaunch Launch(const std::wstring& directory, int port, int mode) {
    const std::wstring program = directory + L"\\qel_link.exe";
    const std::wstring parameters = std::to_wstring(port) + L" " + std::to_wstring(mode);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The controller reports a failure in its progress pane, not in a box of the shell's.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"Open";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    return {port, ShellExecuteExW(&info) ? info.hProcess : nullptr};
}

HWND FindBridge(int port) {
    return FindWindowW(nullptr, (L"qel_link_com" + std::to_wstring(port)).c_str());
}

// The bridge's process, to wait for: it holds its port until it has ended, seconds after its
// window has gone. Null when it cannot be opened (it has ended already).
HANDLE OpenBridgeProcess(HWND bridge) {
    DWORD id = 0;
    GetWindowThreadProcessId(bridge, &id);
    return id != 0 ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr;
}

struct ClosingBridge {
    int port;
    HANDLE process;
};

// Waits for each process until the deadline and closes its handle; adds the port of each
// one still running to `left`.
void AwaitProcesses(const std::vector<ClosingBridge>& closing, ULONGLONG deadline,
                    std::vector<int>& left) {
    for (const ClosingBridge& bridge : closing) {
        const ULONGLONG now = GetTickCount64();
        const DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (WaitForSingleObject(bridge.process, wait) != WAIT_OBJECT_0 &&
            std::find(left.begin(), left.end(), bridge.port) == left.end()) {
            left.push_back(bridge.port);
        }
        CloseHandle(bridge.process);
    }
}

} // namespace

std::vector<BridgeLaunch> StartBridges(int portQel, int portIo) {
    const std::wstring directory = ModuleDirectory();
    BridgeLaunch tester = Launch(directory, portQel, 0);
    return {tester, Launch(directory, portIo, 1)};
}

std::vector<int> CloseBridges(std::vector<int> configured) {
    std::vector<int> ports;
    for (int port = kFirstPort; port <= kLastScannedPort; ++port) {
        ports.push_back(port);
    }
    for (int port : configured) {
        if (port > kLastScannedPort && port <= kLastPort &&
            std::find(ports.begin(), ports.end(), port) == ports.end()) {
            ports.push_back(port);
        }
    }
    const ULONGLONG deadline = GetTickCount64() + kCloseDeadlineMs;
    std::vector<int> left;
    std::vector<ClosingBridge> closing;
    do {
        left.clear();
        for (int port : ports) {
            if (HWND bridge = FindBridge(port)) {
                const bool known = std::any_of(closing.begin(), closing.end(),
                                               [port](const auto& c) { return c.port == port; });
                if (HANDLE process = known ? nullptr : OpenBridgeProcess(bridge)) {
                    closing.push_back({port, process});
                }
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(bridge, WM_COMMAND, IDOK, 0, SMTO_ABORTIFHUNG,
                                    kCloseCommandTimeoutMs, &ignored);
                Sleep(kPauseAfterCloseMs);
                left.push_back(port);
            }
        }
    } while (!left.empty() && GetTickCount64() < deadline);
    // Within the same bound: a bridge started while the old one still ends finds its port
    // taken.
    AwaitProcesses(closing, deadline, left);
    return left;
}
