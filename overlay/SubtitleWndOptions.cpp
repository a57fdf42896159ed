// The overlay's optional drawing (Kelvane.ini): live see-through, outline and
// formatting tags. Without these options the overlay draws as it always has.
#include "core/SubtitleTags.h"
#include "core/Unicode.h"
#include "overlay/SubtitleWnd.h"
#include "overlay/TextLayout.h"

void CSubtitleWnd::SetLiveSeeThrough(bool bLive)
{
    m_bLive = bLive;
    if (!bLive) {
        ModifyStyleEx(WS_EX_LAYERED, 0, 0);
        return;
    }
    // A colour-keyed layered window: the key colour is not drawn, the windows
    // beneath show through it live and take the clicks there. WS_EX_TRANSPARENT
    // stays off: on a layered window it would pass every click through, and
    // the double click on the text could never arrive.
    ModifyStyleEx(WS_EX_TRANSPARENT, WS_EX_LAYERED, 0);
    ::SetLayeredWindowAttributes(m_hWnd, kKeyColor, 0, LWA_COLORKEY);
}

void CSubtitleWnd::ApplyOptions(const COptionValues& options)
{
    m_options = options;
    if (!m_bFramed && m_options.bLiveSeeThrough != m_bLive) {
        // Already see-through: change its kind in place.
        SetLiveSeeThrough(m_options.bLiveSeeThrough);
        if (!m_bLive)
            ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
    }
    Refresh();
}

void CSubtitleWnd::DrawStyledText(CDC& dc, const RECT& rc) const
{
    const std::vector<CStyledRun> runs = m_options.bFormattingTags ? ParseSubtitleTags(m_strText)
                                                                   : std::vector<CStyledRun>{CStyledRun{m_strText, {}}};
    CTextLayout layout(dc, runs, IsUtf8Text(m_strText));
    CTextLayout::Outline outline;
    if (m_options.bOutline) {
        outline.nWidth = m_options.nOutlineWidth;
        outline.crColor = m_options.crOutline;
    }
    layout.Draw(rc, m_sizeLine.cy, m_host.TextColor(), outline, m_bLive, kKeyColor);
}
