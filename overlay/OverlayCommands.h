#pragma once
// COverlayCommands: the overlay's live-control commands (core/LiveCommands)
// as global hotkeys and a right-click menu. Command i of the table is the
// menu command IDM_OVERLAY_PAUSE + i; a new command is one row of the table,
// one id and a handler in CSubtitleWnd::DoCommand.

#include <windows.h>

#include <string>
#include <vector>

class COverlayCommands {
public:
    // Registers every hotkey on hWnd (ids 1, 2, ...). Returns the names of the
    // combinations another program already holds; the others work.
    std::vector<std::string> RegisterHotKeys(HWND hWnd);
    void UnregisterHotKeys();
    // The command of a WM_HOTKEY id; 0 when none.
    static UINT CommandOfHotKey(WPARAM nHotKeyId);

    // The popup menu: every command with its keys, the rate presets (the one
    // in use checked), Options..., a separator and Close. The caller destroys it.
    static HMENU BuildMenu(double dRateInUse);

private:
    HWND m_hWnd = nullptr;
    std::vector<int> m_registered;  // hotkey ids held now
};
