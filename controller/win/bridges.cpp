#include "bridges.h"

#include "module_path.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

constexpr int kLastScannedPort = 99;
// A bridge ends itself on the close command, so a window found this often will not go.
constexpr int kMaxScans = 100;
constexpr DWORD kPauseAfterCloseMs = 10;
// A bridge whose window no longer answers does not freeze the controller.
constexpr UINT kCloseCommandTimeoutMs = 5000;

void Launch(const std::wstring& directory, int port, int mode) {
    const std::wstring program = directory + L"\\qel_link.exe";
    const std::wstring parameters = std::to_wstring(port) + L" " + std::to_wstring(mode);
    ShellExecuteW(nullptr, L"Open", program.c_str(), parameters.c_str(), directory.c_str(),
                  SW_SHOWNORMAL);
}

HWND FindBridge(int port) {
    return FindWindowW(nullptr, (L"qel_link_com" + std::to_wstring(port)).c_str());
}

} // namespace

void StartBridges(int portQel, int portIo) {
    const std::wstring directory = ModuleDirectory();
    Launch(directory, portQel, 0);
    Launch(directory, portIo, 1);
}

std::vector<int> CloseBridges() {
    for (int scan = 0; scan < kMaxScans; ++scan) {
        int found = 0;
        for (int port = 1; port <= kLastScannedPort; ++port) {
            if (HWND bridge = FindBridge(port)) {
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(bridge, WM_COMMAND, IDOK, 0, SMTO_ABORTIFHUNG,
                                    kCloseCommandTimeoutMs, &ignored);
                Sleep(kPauseAfterCloseMs);
                ++found;
            }
        }
        if (found == 0) {
            return {};
        }
    }
    std::vector<int> left;
    for (int port = 1; port <= kLastScannedPort; ++port) {
        if (FindBridge(port) != nullptr) {
            left.push_back(port);
        }
    }
    return left;
}
