#include "overlay/SubtitleWnd.h"

#include <cstdio>
#include <vector>

#include "core/Unicode.h"
#include "framework/WinApp.h"
#include "panel/ControlDlg.h"
#include "panel/Options.h"
#include "core/OverlayPlacement.h"
#include "res/resource.h"

namespace {

// Window styles that see-through mode takes away: caption, system menu, border.
constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// Invalidate, erase and repaint before returning.
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

}  // namespace

CSubtitleWnd::CSubtitleWnd(CControlDlg* pPanel)
    : CDialog(IDD_SUBTITLE, pPanel), m_pPanel(pPanel), m_schedule(WallClockNow)
{
    m_strText = AfxLoadString(IDS_BANNER);
}

CSubtitleWnd::~CSubtitleWnd() = default;

// ---- Geometry -------------------------------------------------------------

// The monitors' rectangles, in screen coordinates.
static std::vector<KRect> MonitorRects()
{
    std::vector<KRect> rects;
    ::EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, LPRECT rc, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<KRect>*>(data)->push_back(FromRect(*rc));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

void CSubtitleWnd::RestoreGeometry()
{
    // Nothing stored: the framework's placement, the template's size centred.
    // A stored rectangle is applied as it is, also partly off the screen, unless
    // too little of it would show on any monitor: then it opens centred.
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    KRect rc;
    if (PlaceOverlay(m_pPanel->m_rcOverlay, MonitorRects(), FromRect(MonitorWorkArea()),
                     rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top, rc))
        MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, true);
}

bool CSubtitleWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    RedrawWindow(nullptr, nullptr, kRedrawNow);
    RECT rc;
    GetWindowRect(&rc);
    m_pPanel->m_rcOverlay = FromRect(rc);
    return true;
}

// ---- Playback ---------------------------------------------------------------

// The line under the banner that says why a subtitle file cannot be played,
// naming the file without its folder.
static std::string UnplayableLine(const std::string& path, bool bOpened, double dStartOffset)
{
    if (path.empty())
        return "No subtitle file chosen";
    const std::string::size_type slash = path.find_last_of("\\/");
    std::string line = slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
    if (!bOpened)
        return line + ": cannot be opened";
    line += ": holds no subtitles";
    if (dStartOffset > 0) {
        const long long ms = static_cast<long long>(dStartOffset);
        char from[40];
        std::snprintf(from, sizeof from, " from %lld:%02lld:%02lld,%03lld on", ms / 3600000, ms / 60000 % 60,
                      ms / 1000 % 60, ms % 1000);
        line += from;
    }
    return line;
}

BOOL CSubtitleWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    RestoreGeometry();

    // The live-control keys, for as long as the overlay exists.
    const std::vector<std::string> taken = m_commands.RegisterHotKeys(m_hWnd);
    if (!taken.empty()) {
        std::string keys;
        for (const std::string& key : taken)
            keys += (keys.empty() ? "" : ", ") + key;
        ShowStatus("Keys held by another program: " + keys, 4000);
    }

    // The reader gets its own copy of the path; the clock is read after the
    // file has been opened and skipped to the start offset.
    const std::string path = m_pPanel->m_strFile;
    m_schedule.SetRate(s_dRate);  // the rate chosen earlier in this session
    if (!m_schedule.Start(path, m_dStartOffset, m_pPanel->m_nDelay)) {
        // Nothing to play: no timer; the banner stays, with one more line that says why.
        m_strText += "\n" + UnplayableLine(path, m_schedule.FileOpened(), m_dStartOffset);
        return TRUE;
    }
    m_nTimer = SetTimer(kTimerId, kTimerPeriod);
    m_bTicking = m_nTimer != 0;
    ArmDueTimer();
    return TRUE;
}

bool CSubtitleWnd::OnTimer(UINT_PTR nIDEvent)
{
    Default();
    if (nIDEvent == kStatusTimerId) {
        KillTimer(kStatusTimerId);
        m_status.Expire(m_schedule.m_bPaused);
        Refresh();
        return true;
    }
    if (nIDEvent == kDueTimerId)
        KillTimer(kDueTimerId);  // one-shot
    else if (nIDEvent != m_nTimer)
        return true;
    Play();
    return true;
}

void CSubtitleWnd::Play(bool bRefresh)
{
    std::string text;
    const CPlaybackSchedule::TickResult result = m_schedule.Tick(text);
    if (result != CPlaybackSchedule::NotDue) {
        m_strText = text;
        if (bRefresh)
            Refresh();
        if (result == CPlaybackSchedule::ChangedAndFinished) {
            KillTimer(m_nTimer);
            m_bTicking = false;
            m_strText = AfxLoadString(IDS_BANNER);
            if (bRefresh)
                Refresh();
        }
    }
    ArmDueTimer();
}

// ---- Modes ------------------------------------------------------------------

void CSubtitleWnd::ToggleSeeThrough()
{
    // The mode flips first: every erase and paint caused below sees the new one.
    m_bFramed = !m_bFramed;
    if (!m_bFramed && COptions::Current().bLiveSeeThrough) {
        SetLiveSeeThrough(true);
        ModifyStyle(kFrameStyles, 0, SWP_FRAMECHANGED);
        Refresh();
    } else if (!m_bFramed) {
        ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
        ModifyStyle(kFrameStyles, 0, SWP_FRAMECHANGED);
        Refresh();
    } else {
        if (m_bLive)
            SetLiveSeeThrough(false);
        ModifyStyleEx(WS_EX_TRANSPARENT, 0, 0);
        ModifyStyle(0, kFrameStyles, SWP_FRAMECHANGED);
        RedrawWindow(nullptr, nullptr, kRedrawNow);
        Refresh();
    }
}

void CSubtitleWnd::Refresh()
{
    // Live see-through repaints only itself: the film beneath is seen live.
    if (m_bFramed || m_bLive) {
        m_bPaintEnabled = 1;
        InvalidateRect(nullptr, true);
        return;
    }
    // Hiding uncovers the windows beneath, which repaint themselves; showing
    // repaints the overlay at once (OnWindowPosChanged), over fresh pixels.
    m_bPaintEnabled = 0;
    ShowWindow(SW_HIDE);
    m_bPaintEnabled = 1;
    ShowWindow(SW_SHOW);
}

bool CSubtitleWnd::OnLButtonDblClk(UINT, POINT)
{
    Default();
    ToggleSeeThrough();
    return true;
}

// ---- Painting ---------------------------------------------------------------

bool CSubtitleWnd::OnEraseBkgnd(HDC)
{
    if (m_bFramed)
        Default();  // the dialog background
    return true;    // see-through: nothing erased, yet the background counts as done
}

int CSubtitleWnd::LineCount(const std::string& text)
{
    int nLineFeeds = 0;
    for (std::string::size_type at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++nLineFeeds;
    return nLineFeeds + 1;
}

RECT CSubtitleWnd::TextRect(const RECT& rcClient, const std::string& text, int nLineHeight)
{
    RECT rc = rcClient;
    rc.top = rc.bottom - LineCount(text) * nLineHeight;
    return rc;
}

bool CSubtitleWnd::IsUtf8Text(const std::string& text)
{
    bool bNonAscii = false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        bNonAscii = true;
        int nTrail;
        unsigned long code;
        if (c >= 0xC2 && c <= 0xDF) {
            nTrail = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nTrail = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nTrail = 3;
            code = c & 0x07;
        } else {
            return false;  // a trail byte without a lead, an overlong lead, or beyond U+10FFFF
        }
        if (end - p <= nTrail)
            return false;  // cut off
        for (int i = 1; i <= nTrail; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if ((nTrail == 2 && code < 0x800) || (nTrail == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;  // overlong or out of range
        if (code >= 0xD800 && code <= 0xDFFF)
            return false;  // surrogates are not characters
        p += nTrail + 1;
    }
    return bNonAscii;
}

void CSubtitleWnd::DrawTextBlock(CDC& dc, RECT& rc) const
{
    const COptionValues& options = COptions::Current();
    if (options.bOutline || options.bFormattingTags || m_bLive) {
        DrawStyledText(dc, rc, options);  // the options' layout
        return;
    }
    constexpr UINT kFormat = DT_CENTER | DT_WORDBREAK;
    if (IsUtf8Text(m_strText)) {
        const std::wstring wide = Utf8ToWide(m_strText);
        dc.DrawTextW(wide.data(), static_cast<int>(wide.size()), &rc, kFormat);
        return;
    }
    dc.DrawText(m_strText.data(), static_cast<int>(m_strText.size()), &rc, kFormat);
}

bool CSubtitleWnd::OnPaint()
{
    // Refused while a see-through refresh hides the window: the region stays
    // invalid and a later paint covers it.
    if (!m_bPaintEnabled)
        return true;
    CPaintDC dc(m_hWnd);
    RECT rc;
    GetClientRect(&rc);
    PrepareDC(&dc);
    if (!m_bFramed && m_bLive) {
        dc.SetBkMode(TRANSPARENT);
        ::SetBkColor(dc, kKeyColor);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);  // keyed out
    } else if (!m_bFramed) {
        dc.SetBkMode(TRANSPARENT);
        PaintBeneath(&dc, rc);
    }
    const LOGFONTA lfCue = ToLogFontA(m_pPanel->m_lfFont);
    m_status.Draw(dc, rc, lfCue);  // first: a tall cue is drawn over it, never under
    rc = TextRect(rc, m_strText, m_sizeLine.cy);
    DrawTextBlock(dc, rc);
    return true;
}

void CSubtitleWnd::PrepareDC(CDC* pDC)
{
    // Taken afresh at every paint, so a font or colour chosen on the panel
    // shows at the next one. The replaced font is not put back: the device
    // context ends with the paint.
    if (m_pPanel->m_font.GetSafeHandle())
        pDC->SelectObject(m_pPanel->m_font.GetSafeHandle());
    SIZE size{0, 0};
    pDC->GetTextExtentPoint32("W", 1, &size);
    pDC->LPtoDP(&size);
    m_sizeLine = size;
    pDC->SetTextColor(m_pPanel->m_crText);
}

void CSubtitleWnd::PaintBeneath(CDC* pDC, RECT rcClient)
{
    RECT rcScreen = rcClient;
    ClientToScreen(&rcScreen);
    for (HWND hNext = ::GetWindow(m_hWnd, GW_HWNDNEXT); hNext && hNext != m_hWnd;
         hNext = ::GetWindow(hNext, GW_HWNDNEXT)) {
        const CWnd below(hNext);
        if (!below.IsWindowVisible())
            continue;
        RECT rcBelow;
        below.GetWindowRect(&rcBelow);
        RECT rcShared;
        if (!::IntersectRect(&rcShared, &rcBelow, &rcScreen))
            continue;
        RECT rcInBelow = rcShared;
        below.ScreenToClient(&rcInBelow);
        RECT rcInOverlay = rcShared;
        ScreenToClient(&rcInOverlay);

        // Make the window beneath paint that part now, then copy it.
        below.InvalidateRect(&rcInBelow, true);
        below.UpdateWindow();
        CClientDC dcBelow(hNext);
        if (!dcBelow.GetSafeHdc())
            continue;
        pDC->BitBlt(rcInOverlay.left, rcInOverlay.top, rcShared.right - rcShared.left,
                    rcShared.bottom - rcShared.top, dcBelow.GetSafeHdc(), rcInBelow.left, rcInBelow.top, SRCCOPY);
    }
}

// ---- Keys, closing, teardown ----------------------------------------------

void CSubtitleWnd::OnOK()
{
    // Enter on the overlay does nothing (the dialog default would hide it with
    // its timer running).
}

void CSubtitleWnd::OnCancel()
{
    // Escape closes the overlay exactly as its close button does.
    OnClose();
}

bool CSubtitleWnd::OnClose()
{
    if (m_nTimer != 0)
        KillTimer(m_nTimer);
    m_commands.UnregisterHotKeys();
    m_pPanel->OnOverlayClosed();
    DestroyWindow();
    return true;
}

void CSubtitleWnd::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}
