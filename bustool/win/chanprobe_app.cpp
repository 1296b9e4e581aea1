// chanprobe: the engineers' bus probe. The application shows the main dialog modally and
// ends when it closes.
#include "chanprobe_dlg.h"

#include <windows.h>

namespace {

class CChanprobeApp {
public:
    int Run();

private:
    static LRESULT CALLBACK SwallowEnterAndEsc(int code, WPARAM wParam, LPARAM lParam);
};

// Enter and Esc never reach a window, so neither presses a button nor closes the dialog.
LRESULT CALLBACK CChanprobeApp::SwallowEnterAndEsc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int CChanprobeApp::Run() {
    HHOOK hook =
        SetWindowsHookExA(WH_GETMESSAGE, SwallowEnterAndEsc, nullptr, GetCurrentThreadId());
    CChanprobeDlg dlg;
    dlg.DoModal(nullptr);
    UnhookWindowsHookEx(hook);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CChanprobeApp app;
    return app.Run();
}
