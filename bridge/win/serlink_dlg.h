#pragma once
// The bridge's one window: a hidden dialog with a tray icon. It turns window messages into
// calls on the session and carries out the session's requests.
#include "com.h"
#include "dialog.h"
#include "link_session.h"
#include "window_bus.h"

#include <windows.h>

class CSerlinkDlg final : public CDialog, public bridge::link_shell {
public:
    explicit CSerlinkDlg(bridge::link_arguments arguments);
    CSerlinkDlg(const CSerlinkDlg&) = delete;
    CSerlinkDlg& operator=(const CSerlinkDlg&) = delete;

    void add_tray_icon(int icon_id, std::u16string_view tip) override;
    void delete_tray_icon(int icon_id) override;
    void make_tool_window() override;
    void make_topmost() override;
    void set_window_icons() override;
    void set_title(std::u16string_view title) override;
    void set_mode_text(std::u16string_view text) override;
    void set_status_text(std::u16string_view text) override;
    void show_message(std::u16string_view text) override;
    void start_timer(int id, unsigned period_ms) override;
    void kill_timer(int id) override;
    bridge::link_time now() const override;
    bool bus_load() override;
    void bus_register(std::uint32_t mask, const char* name) override;
    void bus_set_text(const char* name, const char* value) override;
    void bus_unregister() override;
    void bus_unload() override;
    std::optional<std::string> bus_fetch(std::uint32_t handle) override;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCommand(int id);
    void OnOK();
    void OnHide();
    void OnShowWindow();
    void OnExit();
    void OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    bool OnNcPaint();

    HICON icon;
    // The first two frame paints hide the window instead, so it never shows at start.
    int hidden_paints = 0;
    bridge::com channel;
    window_bus bus_out;
    bridge::link_session session;
};
