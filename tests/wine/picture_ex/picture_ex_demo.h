#pragma once

#define IDD_DEMO 100
#define IDC_BUSY 1011
#define IDC_NAME 1020
#define IDC_LOAD 1021
#define IDC_STOP 1022
#define IDC_UNLOAD 1023
#define IDC_STATUS 1024
#define IDC_COLOURS 1025
