#pragma once
// COverlayCommands: the overlay's live-control commands in one table, with
// their global hotkeys and their right-click menu. A new command is one row of
// the table (and, when it needs one, a handler in CSubtitleWnd::OnCommand).

#include <windows.h>

#include <string>
#include <vector>

class COverlayCommands {
public:
    struct Command {
        UINT nID;            // menu command id (IDM_OVERLAY_...)
        const char* label;   // menu text
        UINT nMods;          // hotkey modifiers (MOD_...); 0: no hotkey
        UINT nKey;           // hotkey virtual key
        const char* keyName; // the hotkey as the user reads it
    };
    static const std::vector<Command>& Commands();

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
