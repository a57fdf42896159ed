#include "core/LiveCommands.h"

namespace {
constexpr unsigned kCtrlAlt = kModControl | kModAlt;
constexpr unsigned kCtrlAltShift = kModControl | kModAlt | kModShift;
// Virtual-key codes.
constexpr unsigned kSpace = 0x20, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kT = 'T';
}  // namespace

const std::vector<CLiveCommand>& LiveCommands()
{
    static const std::vector<CLiveCommand> commands = {
        {"&Pause / resume", kCtrlAlt, kSpace, "Ctrl+Alt+Space"},
        {"&Later by 100 ms", kCtrlAlt, kRight, "Ctrl+Alt+Right"},
        {"&Earlier by 100 ms", kCtrlAlt, kLeft, "Ctrl+Alt+Left"},
        {"Later by &1 s", kCtrlAltShift, kRight, "Ctrl+Alt+Shift+Right"},
        {"Earlier by 1 &s", kCtrlAltShift, kLeft, "Ctrl+Alt+Shift+Left"},
        {"&Next cue", kCtrlAlt, kDown, "Ctrl+Alt+Down"},
        {"P&revious cue", kCtrlAlt, kUp, "Ctrl+Alt+Up"},
        {"&Framed / see-through", kCtrlAlt, kT, "Ctrl+Alt+T"},
    };
    return commands;
}

std::string LiveKeysText()
{
    std::string text;
    for (const CLiveCommand& c : LiveCommands()) {
        text += text.empty() ? "" : "\n";
        text += std::string(c.keyName) + ": ";
        for (const char* p = c.label; *p; ++p)
            if (*p != '&')
                text += *p;
    }
    return text;
}
