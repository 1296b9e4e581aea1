// Resource ids of qel_link.exe.
#pragma once

#define IDD_QEL_LINK_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 129
#define IDI_CONTROL_TRAY 133
#define IDI_TESTER_TRAY 134
#define IDC_MODE_TEXT 1003
#define IDC_STATUS_TEXT 1004
#define ID_TRAY_SHOW 32771
#define ID_TRAY_EXIT 32772
