#pragma once
// The probe's main dialog: posts values, strings, arrays and the stop-all request, chooses
// the data kinds it listens to, ends the other clients' sessions, and shows the traffic
// and the bus library's state.
#include "dialog.h"
#include "lumo_binding.h"
#include "owner_draw_static.h"
#include "probe_tables.h"
#include "traffic_lines.h"

#include <cstdint>
#include <string>

class CChanprobeDlg final : public CDialog {
public:
    CChanprobeDlg();

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL OnInitDialog();
    void OnCommand(int id);
    void OnSend();
    void OnSendStr();
    void OnSendArr();
    void OnStopAll();
    void OnFilterChange();
    void OnEndSession();
    void OnClear();
    void OnRefresh();
    void OnModify();
    void OnOK();
    void OnCancel();
    LRESULT OnBusEvent(WPARAM type, LPARAM data);

    // Dialog data exchange: fields to controls, and back with the channel's range checked.
    void WriteFields();
    bool ReadFields();
    bool RejectField(int id, const std::string& problem);
    std::string ControlText(int id) const;

    void Post(std::uint32_t type, std::uintptr_t data, std::uint32_t length);
    void RefreshViews();

    CLumoBinding m_bus;
    COwnerDrawStatic m_traffic;
    HWND m_varIndex = nullptr;
    HWND m_varValue = nullptr;
    HWND m_clientBox = nullptr;
    HWND m_varBox = nullptr;
    std::uint32_t m_channel = 0;
    std::uint32_t m_value = 0;
    std::string m_direction;
    std::string m_kind;
    std::string m_string;
    std::string m_array;
    probe::FilterFlags m_filters{};
    HICON m_hIcon = nullptr;
    HWND m_libText = nullptr;
    // Tick count of the previous notification, kept across "Clear".
    probe::TickGap m_tickGap;
};
