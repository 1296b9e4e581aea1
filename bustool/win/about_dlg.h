#pragma once
#include "dialog_base.h"

class CAboutDlg final : public CDialogBase {
public:
    CAboutDlg();

protected:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
