// Hosts the busy indicator for the Wine test. Load runs the controller's sequence on the
// file named in the edit (unload, load, start if loaded); the status line tells the test what
// was loaded, which frames were painted and how long stopping took, and the colours line
// what each painted frame looked like on screen at three points across the control.
#include "picture_ex_demo.h"

#include "picture_ex.h"

#include <windows.h>

#include <array>
#include <string>

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 20;
constexpr size_t kTrackedFrames = 8;

struct Demo {
    CPictureEx busy;
    unsigned commands = 0; // lets the test tell a fresh status from the previous one
    std::wstring load = L"-";
    std::wstring start = L"-";
    std::wstring stopMs = L"-";
    uint32_t lastFrame = CPictureEx::kNoFrame;
    uint32_t seen = 0;
    unsigned wraps = 0;
    std::array<std::wstring, kTrackedFrames> colours;
};

Demo g_demo;

std::wstring Hex(COLORREF colour) {
    wchar_t text[8];
    wsprintfW(text, L"%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// Screen colours at the middle of the left, centre and right thirds of the control.
std::wstring Probe(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    int y = client.bottom / 2;
    HDC dc = GetDC(control);
    std::wstring probe = Hex(GetPixel(dc, client.right / 6, y)) + L"/" +
                         Hex(GetPixel(dc, client.right / 2, y)) + L"/" +
                         Hex(GetPixel(dc, client.right * 5 / 6, y));
    ReleaseDC(control, dc);
    return probe;
}

void SetTextIfChanged(HWND dlg, int id, const std::wstring& text) {
    wchar_t current[512] = {};
    GetDlgItemTextW(dlg, id, current, 512);
    if (text != current) {
        SetDlgItemTextW(dlg, id, text.c_str());
    }
}

void ShowStatus(HWND dlg) {
    RECT window;
    GetClientRect(GetDlgItem(dlg, IDC_BUSY), &window);
    SIZE size = g_demo.busy.ImageSize();
    uint32_t painted = g_demo.busy.PaintedFrame();
    std::wstring seen;
    for (uint32_t i = 0; i < 32; ++i) {
        if (g_demo.seen & (1u << i)) {
            seen += (seen.empty() ? L"" : L",") + std::to_wstring(i);
        }
    }
    std::wstring status = L"seq=" + std::to_wstring(g_demo.commands) + L" load=" + g_demo.load +
                          L" start=" + g_demo.start + L" size=" + std::to_wstring(size.cx) + L"x" +
                          std::to_wstring(size.cy) + L" window=" + std::to_wstring(window.right) +
                          L"x" + std::to_wstring(window.bottom) + L" frames=" +
                          std::to_wstring(g_demo.busy.FrameCount()) + L" animating=" +
                          (g_demo.busy.IsAnimating() ? L"1" : L"0") + L" painted=" +
                          (painted == CPictureEx::kNoFrame ? L"-" : std::to_wstring(painted)) +
                          L" seen=" + (seen.empty() ? L"-" : seen) + L" wraps=" +
                          std::to_wstring(g_demo.wraps) + L" stop_ms=" + g_demo.stopMs;
    SetTextIfChanged(dlg, IDC_STATUS, status);
    std::wstring colours;
    for (size_t i = 0; i < kTrackedFrames; ++i) {
        if (!g_demo.colours[i].empty()) {
            colours += L"f" + std::to_wstring(i) + L"=" + g_demo.colours[i] + L" ";
        }
    }
    SetTextIfChanged(dlg, IDC_COLOURS, colours);
}

void OnWatch(HWND dlg) {
    uint32_t painted = g_demo.busy.PaintedFrame();
    if (painted != CPictureEx::kNoFrame) {
        if (g_demo.lastFrame != CPictureEx::kNoFrame && painted < g_demo.lastFrame) {
            ++g_demo.wraps;
        }
        g_demo.lastFrame = painted;
        g_demo.seen |= 1u << (painted % 32);
        if (painted < kTrackedFrames) {
            g_demo.colours[painted] = Probe(GetDlgItem(dlg, IDC_BUSY));
        }
    }
    ShowStatus(dlg);
}

void Forget() {
    g_demo.lastFrame = CPictureEx::kNoFrame;
    g_demo.seen = 0;
    g_demo.wraps = 0;
    g_demo.colours = {};
}

// What the controller does with its busy indicator.
void Load(HWND dlg, const wchar_t* name) {
    Forget();
    g_demo.busy.UnloadImage();
    bool loaded = g_demo.busy.LoadImageFile(name);
    g_demo.load = loaded ? L"1" : L"0";
    g_demo.start = loaded ? (g_demo.busy.StartImage() ? L"1" : L"0") : L"-";
    ShowStatus(dlg);
}

template <typename Stop> void TimeStop(HWND dlg, Stop stop) {
    ULONGLONG begin = GetTickCount64();
    stop();
    g_demo.stopMs = std::to_wstring(GetTickCount64() - begin);
    Forget();
    ShowStatus(dlg);
}

void OnCommand(HWND dlg, int id) {
    if (id == IDC_LOAD || id == IDC_STOP || id == IDC_UNLOAD) {
        ++g_demo.commands;
    }
    switch (id) {
    case IDC_LOAD: {
        wchar_t name[MAX_PATH] = {};
        GetDlgItemTextW(dlg, IDC_NAME, name, MAX_PATH);
        Load(dlg, name);
        break;
    }
    case IDC_STOP:
        TimeStop(dlg, [] { g_demo.busy.StopImage(); });
        break;
    case IDC_UNLOAD:
        TimeStop(dlg, [] { g_demo.busy.UnloadImage(); });
        break;
    case IDCANCEL:
        EndDialog(dlg, 0);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_demo.busy.Attach(GetDlgItem(dlg, IDC_BUSY));
        SetDlgItemTextW(dlg, IDC_NAME, L"busy_status.bmp");
        Load(dlg, L"busy_status.bmp");
        SetTimer(dlg, kWatchTimer, kWatchMs, nullptr);
        return TRUE;
    case WM_TIMER:
        OnWatch(dlg);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dlg, LOWORD(wparam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DEMO), nullptr, DialogProc, 0));
}
