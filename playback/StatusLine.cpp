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
    // The text is UTF-8 (the rate presets hold arrows).
    const int nBytes = static_cast<int>(m_strText.size());
    std::wstring wide(m_strText.size(), L'\0');
    wide.resize(static_cast<size_t>(
        std::max(0, ::MultiByteToWideChar(CP_UTF8, 0, m_strText.data(), nBytes, &wide[0], nBytes))));
    RECT rc = rcClient;
    dc.DrawTextW(wide.data(), static_cast<int>(wide.size()), &rc, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (hFont) {
        dc.SelectObject(hOld);
        ::DeleteObject(hFont);
    }
}
