// The overlay's options (Kelvane.ini): live see-through, and taking up
// changed options at once. The outline and the formatting tags are drawn by
// the one text layout (DrawTextBlock).
#include "overlay/SubtitleWnd.h"

#include "framework/File.h"

CFileEncoding CSubtitleWnd::Encoding() const
{
    return CFileEncoding{m_options.nCodePage, CodePageToUtf8};
}

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
    const bool bRead = options.nCodePage != m_options.nCodePage && m_controller.HasStarted();
    m_options = options;
    if (bRead) {
        // The file read again in the new code page: what is due now shows in it.
        m_controller.SetEncoding(Encoding());
        Play(false);
    }
    if (!m_bFramed && m_options.bLiveSeeThrough != m_bLive) {
        // Already see-through: change its kind in place.
        SetLiveSeeThrough(m_options.bLiveSeeThrough);
        if (!m_bLive)
            ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
    }
    Refresh();
}
