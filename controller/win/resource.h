#pragma once
// Resource ids of qel.exe. Plain defines: the resource script reads this file too.
#include "resources.h" // the station indicator bitmaps

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QEL_DIALOG 102
#define IDS_SOCKETS_INIT_FAILED 103
#define IDR_MAINFRAME 128
#define IDB_BANNER 137
#define IDD_OPTION 58117

#define IDM_ABOUTBOX 0x0010

// Main dialog.
#define IDC_STATION1 1000
#define IDC_CLAMP 1001
#define IDC_PROGRESS_LOG 1002
#define IDC_VERSION 1003
#define IDC_STATION2 1004
#define IDC_STATION3 1005
#define IDC_SETTINGS 1006
#define IDC_TEST 1007
#define IDC_WRITE 1008
#define IDC_STATION4 1009
#define IDC_RESULT_LOG 1010
#define IDC_BUSY 1011
#define IDC_BANNER 1012
#define IDC_QR1 1016
#define IDC_QR2 1017
#define IDC_QR3 1018
#define IDC_QR4 1019

// Settings dialog.
#define IDC_PORT_QEL 1004
#define IDC_PORT_IO 1005
#define IDC_PROGRAM_EXECUTE 1009
#define IDC_PROGRAM_RESULT 1010
#define IDC_CHECK_STALL0 1012
#define IDC_CHECK_STALL1 1013
#define IDC_CHECK_STALL2 1014
#define IDC_CHECK_STALL3 1015
