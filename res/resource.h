// Resource identifiers of Kelvane.exe: dialogs, strings, icon, commands, controls.
#pragma once

#define IDD_ABOUTBOX  100
#define IDS_ABOUTBOX  101
#define IDS_BANNER    102
#define IDD_CONTROL   102
#define IDR_MAINFRAME 128
#define IDD_SUBTITLE  129
#define IDD_OPTIONS   130

// Strings of the options.
#define IDS_OPTIONS           130
#define IDS_OPTIONS_NOT_SAVED 131

// System-menu command that opens the About box.
#define IDM_ABOUTBOX  0x0010
// System-menu command that opens the options dialog.
#define IDM_OPTIONS   0x0030

// Controls of the control panel.
#define IDC_FILE      1000
#define IDC_BROWSE    1002
#define IDC_FONT      1005
#define IDC_DELAY     1006
#define IDC_HOUR      1012
#define IDC_MIN       1013
#define IDC_SEC       1014
#define IDC_MILLIS    1015

// Controls of the options dialog.
#define IDC_OPT_LIVE    1100
#define IDC_OPT_OUTLINE 1101
#define IDC_OPT_WIDTH   1102
#define IDC_OPT_COLOR   1103
#define IDC_OPT_SWATCH  1104
#define IDC_OPT_TAGS    1105
#define IDC_OPT_ENCODING 1106

// The film player group of the options dialog.
#define IDC_PLAYER_FOLLOW   1110
#define IDC_PLAYER_PIPE     1111
#define IDC_PLAYER_HOST     1112
#define IDC_PLAYER_MPC_PORT 1113
#define IDC_PLAYER_VLC_PORT 1114
#define IDC_PLAYER_PASSWORD 1115
#define IDC_PLAYER_CHECK    1116
#define IDC_PLAYER_ANSWER   1117

// The About box's list of keys.
#define IDC_ABOUT_KEYS  1200

#ifndef IDC_STATIC
#define IDC_STATIC    (-1)
#endif

// System-menu command of the panel: start playback at the next mouse click.
#define IDM_START_ON_CLICK 0x0020

// Commands of the overlay (its right-click menu and its global hotkeys).
#define IDM_OVERLAY_PAUSE      2000
#define IDM_OVERLAY_LATER      2001
#define IDM_OVERLAY_EARLIER    2002
#define IDM_OVERLAY_LATER_1S   2003
#define IDM_OVERLAY_EARLIER_1S 2004
#define IDM_OVERLAY_NEXT       2005
#define IDM_OVERLAY_PREVIOUS   2006
#define IDM_OVERLAY_SEE_THROUGH 2007
#define IDM_OVERLAY_RATE_FIRST 2010  // one command per rate preset, 2010-2019
#define IDM_OVERLAY_CLOSE      2020
#define IDM_OVERLAY_OPTIONS    2021

// Strings of the live controls.
#define IDS_START_ON_CLICK 110
