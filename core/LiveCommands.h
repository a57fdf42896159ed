#pragma once
// The overlay's live-control commands in one table: each one's menu label and
// global hotkey. The overlay's hotkeys and right-click menu and the About
// box's list of keys are all made from it. The hotkeys are the platform's
// modifier bits and virtual-key codes, as plain numbers.

#include <string>
#include <vector>

struct CLiveCommand {
    const char* label;    // as a menu item: '&' before its access key
    unsigned nMods;       // hotkey modifiers (kModAlt, kModControl, kModShift)
    unsigned nKey;        // hotkey virtual-key code
    const char* keyName;  // the hotkey as the user reads it
};

constexpr unsigned kModAlt = 0x1, kModControl = 0x2, kModShift = 0x4;

// In the order of the overlay's command ids, the first being pause / resume.
const std::vector<CLiveCommand>& LiveCommands();

// One line per command, "keys: what they do", as the About box lists them.
std::string LiveKeysText();
