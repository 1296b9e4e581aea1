// The application object: sockets first, then the main dialog until it closes.
#include "qel_dlg.h"
#include "resource.h"

#include <winsock2.h>

class CqelApp {
public:
    int InitInstance();
};

int CqelApp::InitInstance() {
    // The station opens no socket; the start-up check is kept because a PC whose sockets
    // cannot start has always been refused here.
    WSADATA sockets;
    if (WSAStartup(MAKEWORD(2, 2), &sockets) != 0) {
        wchar_t text[128] = {};
        LoadStringW(GetModuleHandleW(nullptr), IDS_SOCKETS_INIT_FAILED, text, 128);
        ShowMessage(nullptr, text);
        return 1;
    }
    {
        CqelDlg dialog;
        dialog.DoModal(nullptr);
    }
    WSACleanup();
    return 0;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return CqelApp().InitInstance();
}
