#include "overlay/OverlayCommands.h"

#include "core/RatePresets.h"
#include "core/Unicode.h"
#include "res/resource.h"

namespace {
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
constexpr UINT kCtrlAltShift = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
}  // namespace

const std::vector<COverlayCommands::Command>& COverlayCommands::Commands()
{
    static const std::vector<Command> commands = {
        {IDM_OVERLAY_PAUSE, "&Pause / resume", kCtrlAlt, VK_SPACE, "Ctrl+Alt+Space"},
        {IDM_OVERLAY_LATER, "&Later by 100 ms", kCtrlAlt, VK_RIGHT, "Ctrl+Alt+Right"},
        {IDM_OVERLAY_EARLIER, "&Earlier by 100 ms", kCtrlAlt, VK_LEFT, "Ctrl+Alt+Left"},
        {IDM_OVERLAY_LATER_1S, "Later by &1 s", kCtrlAltShift, VK_RIGHT, "Ctrl+Alt+Shift+Right"},
        {IDM_OVERLAY_EARLIER_1S, "Earlier by 1 &s", kCtrlAltShift, VK_LEFT, "Ctrl+Alt+Shift+Left"},
        {IDM_OVERLAY_NEXT, "&Next cue", kCtrlAlt, VK_DOWN, "Ctrl+Alt+Down"},
        {IDM_OVERLAY_PREVIOUS, "P&revious cue", kCtrlAlt, VK_UP, "Ctrl+Alt+Up"},
        {IDM_OVERLAY_SEE_THROUGH, "&Framed / see-through", kCtrlAlt, 'T', "Ctrl+Alt+T"},
    };
    return commands;
}

std::vector<std::string> COverlayCommands::RegisterHotKeys(HWND hWnd)
{
    UnregisterHotKeys();
    m_hWnd = hWnd;
    std::vector<std::string> taken;
    const auto& commands = Commands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const Command& c = commands[i];
        if (!c.nMods)
            continue;
        const int id = static_cast<int>(i) + 1;
        if (::RegisterHotKey(hWnd, id, c.nMods, c.nKey))
            m_registered.push_back(id);
        else
            taken.push_back(c.keyName);
    }
    return taken;
}

void COverlayCommands::UnregisterHotKeys()
{
    for (int id : m_registered)
        ::UnregisterHotKey(m_hWnd, id);
    m_registered.clear();
}

UINT COverlayCommands::CommandOfHotKey(WPARAM nHotKeyId)
{
    const auto& commands = Commands();
    return nHotKeyId >= 1 && nHotKeyId <= commands.size() ? commands[nHotKeyId - 1].nID : 0;
}

HMENU COverlayCommands::BuildMenu(double dRateInUse)
{
    HMENU hMenu = ::CreatePopupMenu();
    if (!hMenu)
        return nullptr;
    auto add = [hMenu](UINT nFlags, UINT nID, const std::string& text) {
        // The labels may hold UTF-8 (the rate arrows): add them as wide text.
        ::AppendMenuW(hMenu, nFlags, nID, Utf8ToWide(text).c_str());
    };
    for (const Command& c : Commands())
        add(MF_STRING, c.nID, std::string(c.label) + (c.nMods ? std::string("\t") + c.keyName : ""));
    add(MF_SEPARATOR, 0, "");
    const auto& rates = RatePresets();
    for (size_t i = 0; i < rates.size(); ++i) {
        const UINT nChecked = rates[i].factor == dRateInUse ? MF_CHECKED : 0u;
        add(MF_STRING | nChecked, IDM_OVERLAY_RATE_FIRST + static_cast<UINT>(i), rates[i].label);
    }
    add(MF_SEPARATOR, 0, "");
    add(MF_STRING, IDM_OVERLAY_OPTIONS, "&Options\u2026");
    add(MF_STRING, IDM_OVERLAY_CLOSE, "&Close");
    return hMenu;
}
