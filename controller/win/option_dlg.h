#pragma once
// The settings dialog: the two ports, the programming command and its result file, and the
// four station enables. OK takes the values only when both ports are integers from 1 to 100.
#include "dialog.h"
#include "station_controller_flags.h"

#include <array>
#include <string>

class COption : public CDialog {
public:
    COption();

    int m_portQel = 1;
    int m_portIo = 1;
    std::wstring m_programExecute;
    std::wstring m_programResult;
    std::array<int, kStationCount> m_stationEnabled{}; // check states, 0 or 1

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnOK();
    // The port field as an integer from 1 to 100; otherwise says so, selects the field and
    // returns false.
    bool ReadPort(int id, int& port);
};
