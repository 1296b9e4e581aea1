// qel_link.exe: one serial bridge per port, started as "qel_link.exe <port> <mode>".
#include "binding.h"
#include "command_line.h"
#include "link_identity.h"
#include "serlink_dlg.h"
#include "type_word.h"
#include "wide.h"

#include <windows.h>

#include <string>

namespace {

// A bridge's process outlives its window for a few seconds while it ends (two or three
// under Wine), holding its port's lock; a bridge started again at once by the controller
// waits this long for it before refusing.
constexpr ULONGLONG kPortLockWaitMs = 5000;
constexpr DWORD kPortLockRetryMs = 100;

// The port's lock, taken; null when a bridge with the title runs, or another process held
// the lock for the whole wait.
HANDLE take_port_lock(const std::wstring& title) {
    const std::wstring lock_name = L"Global\\" + title;
    const ULONGLONG give_up = GetTickCount64() + kPortLockWaitMs;
    while (FindWindowW(nullptr, title.c_str()) == nullptr) {
        HANDLE lock = CreateMutexW(nullptr, FALSE, lock_name.c_str());
        if (lock != nullptr && GetLastError() != ERROR_ALREADY_EXISTS) {
            return lock;
        }
        // Our own handle would keep the lock in being too.
        if (lock != nullptr) {
            CloseHandle(lock);
        }
        if (GetTickCount64() >= give_up) {
            break;
        }
        Sleep(kPortLockRetryMs);
    }
    return nullptr;
}

// The application: one bridge dialog per port, or a refusal when the port has one.
class CSerlinkApp {
public:
    // False in every case, so the process ends once the dialog has.
    bool InitInstance();
};

bool CSerlinkApp::InitInstance() {
    const auto* line = reinterpret_cast<const char16_t*>(GetCommandLineW());
    bridge::link_arguments arguments = bridge::parse_command_line(line);
    std::u16string title = bridge::window_title(arguments.port_number);
    // The title appears only once the dialog is up, after a possible "Load dll failure!"
    // box: two bridges started at once would both find none. A named mutex, taken before
    // anything that can wait, closes that gap; it is released when the process ends.
    if (take_port_lock(ToWide(title)) == nullptr) {
        std::u16string text = bridge::already_running_text(arguments.port_number);
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"qel_link", MB_OK);
        return false;
    }
    CSerlinkDlg dialog(arguments);
    // Runs until command 1 or the tray's exit ends it.
    dialog.DoModal(nullptr);
    return false;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CSerlinkApp app;
    app.InitInstance();
    return 0;
}
