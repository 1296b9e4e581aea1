#pragma once
// The About box, reached from a main window's system menu: OK or Cancel closes it.
#include "dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(int templateId);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
