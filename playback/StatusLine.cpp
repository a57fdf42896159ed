#include "playback/StatusLine.h"

#include <algorithm>
#include <cstdlib>

void CStatusLine::Draw(const CDC& dc, const RECT& rcClient, const LOGFONTA& lfCue) const
{
    if (m_strText.empty())
        return;
    LOGFONTA lf = lfCue;
    lf.lfHeight = -std::max(12L, std::labs(lf.lfHeight) / 2);
    lf.lfWidth = 0;
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = hFont ? dc.SelectObject(hFont) : nullptr;
    RECT rc = rcClient;
    dc.DrawText(m_strText.data(), static_cast<int>(m_strText.size()), &rc,
                DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (hFont) {
        dc.SelectObject(hOld);
        ::DeleteObject(hFont);
    }
}
