// Resource identifiers of Kelvane.exe: dialogs, strings, icon, commands, controls.
#pragma once

#define IDD_ABOUTBOX  100
#define IDS_ABOUTBOX  101
#define IDS_BANNER    102
#define IDD_CONTROL   102
#define IDR_MAINFRAME 128
#define IDD_SUBTITLE  129

// System-menu command that opens the About box.
#define IDM_ABOUTBOX  0x0010

// Controls of the control panel.
#define IDC_FILE      1000
#define IDC_BROWSE    1002
#define IDC_FONT      1005
#define IDC_DELAY     1006
#define IDC_HOUR      1012
#define IDC_MIN       1013
#define IDC_SEC       1014
#define IDC_MILLIS    1015

#ifndef IDC_STATIC
#define IDC_STATIC    (-1)
#endif
