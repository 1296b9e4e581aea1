#pragma once
#define IDD_TESTDLG 100
#define IDC_INPUT 1001
#define IDC_COPY 1002
#define IDC_PANE 1003
#define IDC_OPTION 1004
