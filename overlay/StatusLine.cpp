#include "overlay/StatusLine.h"

#include <algorithm>
#include <cstdlib>

#include "overlay/TextLayout.h"

void CStatusLine::Draw(const CDC& dc, const RECT& rcClient, const LOGFONTA& lfCue) const
{
    if (m_strText.empty())
        return;
    LOGFONTA lf = lfCue;
    lf.lfHeight = -std::max(12L, std::labs(lf.lfHeight) / 2);
    lf.lfWidth = 0;
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = hFont ? dc.SelectObject(hFont) : nullptr;
    // Laid out as the cue is: a long line (the keys held by another program)
    // wraps and is cut at neither end.
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    const CTextLayout layout(dc, {CStyledRun{m_strText, {}}}, true, rcClient.right - rcClient.left);
    layout.Draw(rcClient.left, rcClient.right, rcClient.top, tm.tmHeight, ::GetTextColor(dc), {});
    if (hFont) {
        dc.SelectObject(hOld);
        ::DeleteObject(hFont);
    }
}
