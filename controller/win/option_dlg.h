#pragma once
// The settings dialog: the two ports, the programming command and its result file, and the
// four station enables. OK takes the values only when both ports are integers from 1 to 100,
// and takes the command line without white space at its ends.
#include "dialog.h"
#include "station_settings.h"

class COption : public CDialog {
public:
    COption();

    // Shown when the dialog opens; the confirmed values after OK.
    StationSettings m_settings;

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnOK();
    // The port field as an integer from 1 to 100; otherwise says so, selects the field and
    // returns false.
    bool ReadPort(int id, int& port);
};
