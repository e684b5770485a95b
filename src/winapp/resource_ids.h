// The ids of the window's resources and controls, shared by the resource script and the code.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDD_ABOUT 100
#define IDD_UPDATER 102
#define IDD_SPECIAL_SETTINGS 103
#define IDI_UPDATER 152
#define IDB_BANNER 165

// The main window (template 102).
#define IDC_PROGRESS 1002
#define IDC_WRITE 1003
#define IDC_PORT_LIST 1007
#define IDC_SPECIAL_SETTINGS 1008
// Beside the window's first controls: the line under the bar and the next-radio box.
#define IDC_STATUS_LINE 1030
#define IDC_NEXT_RADIO 1031
// Above the port list: why no port can be chosen, with its fix, while none is listed.
#define IDC_NO_PORT_PANEL 1032

// The About box (template 100).
#define IDC_ABOUT_PRODUCT 1009
#define IDC_ABOUT_NOTICE 1010

// The special settings (template 103).
#define IDC_ROUNDS 1008
#define IDC_BAUD_57600 1011
#define IDC_BAUD_19200 1012
#define IDC_STOP_BIT_1 1013
#define IDC_STOP_BIT_2 1014
#define IDC_UNENCRYPTED 1015
#define IDC_USE_MOT_FILE 1016
#define IDC_MOT_FILE_NAME 1017
#define IDC_REFER 1018
#define IDC_BAUD_38400 1019
#define IDC_BAUD_115200 1020
#define IDC_MAX_BUFFER 1021

// The system command that opens the About box (its low four bits are free).
#define IDM_ABOUT 0x0010
