#pragma once
// The About box, reached from the main window's system menu.
#include "dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
