#include "overlay/StatusLine.h"

#include <algorithm>
#include <cstdlib>

#include "core/Unicode.h"

void CStatusLine::Draw(const CDC& dc, const RECT& rcClient, const LOGFONTA& lfCue) const
{
    if (m_strText.empty())
        return;
    LOGFONTA lf = lfCue;
    lf.lfHeight = -std::max(12L, std::labs(lf.lfHeight) / 2);
    lf.lfWidth = 0;
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = hFont ? dc.SelectObject(hFont) : nullptr;
    // The text is UTF-8 (the rate presets hold arrows).
    const std::wstring wide = Utf8ToWide(m_strText);
    // Wrapped: a long line (the keys held by another program) is cut at
    // neither end.
    RECT rc = rcClient;
    dc.DrawTextW(wide.data(), static_cast<int>(wide.size()), &rc, DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    if (hFont) {
        dc.SelectObject(hOld);
        ::DeleteObject(hFont);
    }
}
