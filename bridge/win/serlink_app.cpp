// qel_link.exe: one serial bridge per port, started as "qel_link.exe <port> <mode>".
#include "binding.h"
#include "command_line.h"
#include "link_identity.h"
#include "serlink_dlg.h"
#include "type_word.h"

#include <windows.h>

#include <string>

const std::uint32_t bus_text_base = bus::kBridgeText;

namespace {

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
    if (FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(title.c_str())) != nullptr) {
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
