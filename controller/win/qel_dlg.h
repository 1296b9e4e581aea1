#pragma once
// The main window of the station controller. It holds all of the controller's state for the
// life of the process, forwards buttons, bus notifications and the watch timer to the
// portable controller, and carries out the controller's requests with Win32.
#include "bridge_watch.h"
#include "dialog.h"
#include "layout.h"
#include "pane_edit.h"
#include "picture_ex.h"
#include "profile.h"
#include "program_process.h"
#include "records.h"
#include "settings.h"
#include "station_controller.h"

#include <map>
#include <string>

class CqelDlg : public CDialog, private ControllerShell {
public:
    CqelDlg();
    ~CqelDlg() override;

private:
    // Posted by the panes when they have lines to show.
    static constexpr UINT kWmFlushPanes = WM_APP + 1;

    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& msg) override;

    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnBusEvent(WPARAM wParam, LPARAM lParam);
    void OnSettings();
    void OnDestroy();
    void FlushPanes();

    void StartBridges();
    void CloseBridges();
    // A bridge just started has come up, ended or not come up in time.
    void CheckBridges();
    void ReportNotStarted(int port);

    // ControllerShell
    void AppendPaneLine(PaneId pane, std::u16string_view line) override;
    void ClearPane(PaneId pane) override;
    void PostKeyword(std::string_view keyword) override;
    void SetStationImage(int station, int bitmapId) override;
    void Pause(std::chrono::milliseconds duration) override;
    void ShowBusyImage(std::u16string_view fileName) override;
    std::array<std::u16string, 4> ReadQrEdits() override;
    void ClearQrEdits() override;
    void FocusFirstQr() override;
    void ShowMessage(std::u16string_view text) override;

    HICON m_hIcon;
    std::wstring m_versionText;
    CPictureEx m_busy;
    CProfile m_profile;
    CProgramProcess m_process;
    CBridgeWatch m_bridgeWatch;
    Records m_records;
    CStationController m_controller;
    CLayout m_layout;
    CPaneEdit m_resultPane;
    CPaneEdit m_progressPane;
    std::map<int, HBITMAP> m_bitmaps; // station images, loaded once
};
