#include "overlay/OverlayCommands.h"

#include "core/LiveCommands.h"
#include "core/RatePresets.h"
#include "core/Unicode.h"
#include "res/resource.h"

// The table's order is the ids' order.
static_assert(IDM_OVERLAY_LATER == IDM_OVERLAY_PAUSE + 1 && IDM_OVERLAY_EARLIER == IDM_OVERLAY_PAUSE + 2 &&
                  IDM_OVERLAY_LATER_1S == IDM_OVERLAY_PAUSE + 3 && IDM_OVERLAY_EARLIER_1S == IDM_OVERLAY_PAUSE + 4 &&
                  IDM_OVERLAY_NEXT == IDM_OVERLAY_PAUSE + 5 && IDM_OVERLAY_PREVIOUS == IDM_OVERLAY_PAUSE + 6 &&
                  IDM_OVERLAY_SEE_THROUGH == IDM_OVERLAY_PAUSE + 7,
              "overlay command ids in the order of the live commands");
static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT, "the platform's bits");

std::vector<std::string> COverlayCommands::RegisterHotKeys(HWND hWnd)
{
    UnregisterHotKeys();
    m_hWnd = hWnd;
    std::vector<std::string> taken;
    const auto& commands = LiveCommands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const CLiveCommand& c = commands[i];
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
    return nHotKeyId >= 1 && nHotKeyId <= LiveCommands().size() ? IDM_OVERLAY_PAUSE + static_cast<UINT>(nHotKeyId) - 1 : 0;
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
    const auto& commands = LiveCommands();
    for (size_t i = 0; i < commands.size(); ++i)
        add(MF_STRING, IDM_OVERLAY_PAUSE + static_cast<UINT>(i), std::string(commands[i].label) + "\t" + commands[i].keyName);
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
