#include "overlay/SubtitleWnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/OverlayPlacement.h"
#include "core/SubtitleTags.h"
#include "core/TimeMs.h"
#include "core/Unicode.h"
#include "core/WallFilmClock.h"
#include "framework/File.h"
#include "framework/WinApp.h"
#include "framework/WinTypes.h"
#include "overlay/TextLayout.h"
#include "res/resource.h"

namespace {

// Window styles that see-through mode takes away: caption, system menu, border.
constexpr DWORD kFrameStyles = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
// Invalidate, erase and repaint before returning.
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// The monitors' rectangles, in screen coordinates.
std::vector<KRect> MonitorRects()
{
    std::vector<KRect> rects;
    ::EnumDisplayMonitors(nullptr, nullptr, [](HMONITOR, HDC, LPRECT rc, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<KRect>*>(data)->push_back(FromRect(*rc));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

// The line under the banner that says why a subtitle file cannot be played,
// naming the file without its folder.
std::string UnplayableLine(const std::string& path, bool bOpened, double dStartOffset)
{
    if (path.empty())
        return "No subtitle file chosen";
    const std::string::size_type slash = path.find_last_of("\\/");
    std::string line = slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
    if (!bOpened)
        return line + ": cannot be opened";
    line += ": holds no subtitles";
    if (dStartOffset > 0)
        line += " from " + FormatTimeMs(dStartOffset) + " on";
    return line;
}

}  // namespace

CSubtitleWnd::CSubtitleWnd(IOverlayHost& host, const COverlayStart& start)
    : CDialog(IDD_SUBTITLE), m_start(start), m_host(host), m_options(start.options), m_controller(SteadyNowMs)
{
    m_strText = AfxLoadString(IDS_BANNER);
}

CSubtitleWnd::~CSubtitleWnd()
{
    if (m_pGone)
        *m_pGone = true;
}

CSubtitleWnd* CSubtitleWnd::Open(IOverlayHost& host, const COverlayStart& start)
{
    CSubtitleWnd* pOverlay = new CSubtitleWnd(host, start);
    bool bGone = false;  // a window closed while it was being made has deleted its object
    pOverlay->m_pGone = &bGone;
    // The desktop as parent: an unowned top-level window that stays on the
    // screen when the panel is minimised.
    if (pOverlay->Create(IDD_SUBTITLE, ::GetDesktopWindow())) {
        pOverlay->m_pGone = nullptr;
        return pOverlay;
    }
    if (!bGone)
        delete pOverlay;
    return nullptr;
}

// ---- Geometry -------------------------------------------------------------

void CSubtitleWnd::RestoreGeometry()
{
    // Nothing stored: the framework's placement, the template's size centred.
    // A stored rectangle is applied as it is, also partly off the screen, unless
    // too little of it would show on any monitor: then it opens centred.
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    KRect rc;
    if (PlaceOverlay(m_start.rcOverlay, MonitorRects(), FromRect(MonitorWorkArea()),
                     rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top, rc))
        MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, true);
}

bool CSubtitleWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    RedrawWindow(nullptr, nullptr, kRedrawNow);
    RECT rc;
    GetWindowRect(&rc);
    m_host.OnOverlayMoved(FromRect(rc));
    return true;
}

// ---- Playback ---------------------------------------------------------------

std::string CSubtitleWnd::Banner() const
{
    std::string banner = AfxLoadString(IDS_BANNER);
    if (!m_controller.HasStarted() || m_controller.ShowedNothing())
        banner += "\n" + UnplayableLine(m_start.strFile, m_controller.FileOpened(),
                                        m_start.player.eFollow == CPlayerConfig::Off ? m_start.dStartOffset : 0);
    return banner;
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

    // Following a player, its position is the film's. Else the film stood at
    // the start offset when Start was pressed; opening the file and skipping
    // to the start offset take time of their own.
    const bool bStarted =
        m_start.player.eFollow != CPlayerConfig::Off
            ? m_controller.Start(m_start.strFile, MakePlayerClock(m_start.player), m_start.nDelay, m_start.dRate,
                                 Encoding())
            : m_controller.Start(m_start.strFile, m_start.dStartOffset, m_start.nDelay, m_start.dRate,
                                 m_start.dPressInstant, Encoding());
    if (!bStarted) {
        // Nothing to play: no timer, no player followed; the banner stays, with one more line that says why.
        m_pPlayer = nullptr;
        m_strText = Banner();
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
        m_status.Show(StandingStatus());
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
    const bool bStatus = m_pPlayer && TakePlayerState();
    std::string text;
    const CPlaybackController::TickResult result = m_controller.Tick(text);
    if (result != CPlaybackController::NotDue) {
        m_strText = text;
        m_bMarkup = m_controller.TextIsMarkup();
        if (bRefresh)
            Refresh();
        if (result == CPlaybackController::ChangedAndFinished) {
            if (!m_pPlayer) {  // a player may still seek back
                KillTimer(m_nTimer);
                m_bTicking = false;
            }
            m_strText = Banner();
            m_bMarkup = false;
            if (bRefresh)
                Refresh();
        }
    } else if (bStatus && bRefresh) {
        Refresh();
    }
    ArmDueTimer();
}

void CSubtitleWnd::ArmDueTimer()
{
    // The 100 ms timer goes on as the safety net; this one lands on the due
    // time itself, so a change reaches the screen on time rather than at the
    // next 100 ms tick.
    const double wait = std::ceil(m_controller.NextDue() - SteadyNowMs());
    if (!m_bTicking || !(wait < 3600000.0)) {
        KillTimer(kDueTimerId);
        return;
    }
    SetTimer(kDueTimerId, wait < 1 ? 1u : static_cast<UINT>(wait));
}

// ---- Modes ------------------------------------------------------------------

void CSubtitleWnd::ToggleSeeThrough()
{
    // The mode flips first: every erase and paint caused below sees the new one.
    m_bFramed = !m_bFramed;
    if (!m_bFramed && m_options.bLiveSeeThrough) {
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
    // It comes back on top of the topmost windows but never activated: the
    // keyboard stays with the film's player.
    m_bPaintEnabled = 0;
    ShowWindow(SW_HIDE);
    m_bPaintEnabled = 1;
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
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

void CSubtitleWnd::DrawTextBlock(CDC& dc, const RECT& rc) const
{
    // The options draw without the text cells that the plain framed overlay
    // paints in the background colour.
    if (m_options.bOutline || m_options.bFormattingTags || m_bLive)
        dc.SetBkMode(TRANSPARENT);
    // A SubRip cue shows its tags as they stand unless they are drawn; the markup of the other formats is
    // always drawn or taken away. Its file's bytes are UTF-8 first (the entities it holds decode to UTF-8).
    bool bUtf8 = IsUtf8Text(m_strText);
    std::vector<CStyledRun> runs;
    if (m_bMarkup) {
        const std::string text = bUtf8 ? m_strText : WideToUtf8(AnsiToWide(m_strText));
        runs = m_options.bFormattingTags ? ParseCanonicalMarkup(text)
                                         : std::vector<CStyledRun>{{CanonicalPlainText(text), {}}};
        bUtf8 = true;
    } else {
        runs = m_options.bFormattingTags ? ParseSubtitleTags(m_strText) : std::vector<CStyledRun>{{m_strText, {}}};
    }
    CTextLayout::Outline outline;
    if (m_options.bOutline)
        outline = CTextLayout::Outline{m_options.nOutlineWidth, m_options.crOutline};
    const int nOutline = std::max(outline.nWidth, 0);
    CTextLayout layout(dc, runs, bUtf8, rc.right - rc.left - 2 * nOutline);
    // Every line gets its room; the block stands on the bottom edge, raised so
    // that the outline is not cut off. One taller than the overlay keeps its last lines.
    const int top = rc.bottom - nOutline - static_cast<int>(layout.LineCount()) * m_sizeLine.cy;
    layout.Draw(rc.left, rc.right, top, m_sizeLine.cy, m_host.TextColor(), outline, m_bLive ? &kKeyColor : nullptr);
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
    Draw(dc, rc);
    return true;
}

void CSubtitleWnd::Draw(CDC& dc, const RECT& rcClient)
{
    PrepareDC(&dc);
    if (!m_bFramed && m_bLive) {
        dc.SetBkMode(TRANSPARENT);
        dc.SetBkColor(kKeyColor);
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rcClient, nullptr, 0, nullptr);  // keyed out
    } else if (!m_bFramed) {
        dc.SetBkMode(TRANSPARENT);
        PaintBeneath(&dc, rcClient);
    }
    m_status.Draw(dc, rcClient, ToLogFontA(m_lfMade));  // first: a tall cue is drawn over it, never under
    DrawTextBlock(dc, rcClient);
}

void CSubtitleWnd::PrepareDC(CDC* pDC)
{
    // Taken afresh at every paint, so a font or colour chosen on the panel
    // shows at the next one. The replaced font is not put back: the device
    // context ends with the paint.
    const KLogFont& lf = m_host.SubtitleFont();
    if (!m_font.GetSafeHandle() || std::memcmp(&lf, &m_lfMade, sizeof lf) != 0) {
        const LOGFONTA lfa = ToLogFontA(lf);
        m_font.CreateFontIndirect(&lfa);
        m_lfMade = lf;
    }
    if (m_font.GetSafeHandle())
        pDC->SelectObject(m_font.GetSafeHandle());
    SIZE size{0, 0};
    pDC->GetTextExtentPoint32("W", 1, &size);
    pDC->LPtoDP(&size);
    m_sizeLine = size;
    pDC->SetTextColor(m_host.TextColor());
}

void CSubtitleWnd::PaintBeneath(CDC* pDC, RECT rcClient)
{
    RECT rcScreen = rcClient;
    ClientToScreen(&rcScreen);
    // Copied from the bottom up, so that each window covers the ones below it
    // as it does on the screen.
    std::vector<HWND> beneath;
    for (HWND hNext = ::GetWindow(m_hWnd, GW_HWNDNEXT); hNext && hNext != m_hWnd;
         hNext = ::GetWindow(hNext, GW_HWNDNEXT))
        beneath.push_back(hNext);
    for (auto it = beneath.rbegin(); it != beneath.rend(); ++it) {
        const CWnd below(*it);
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
        CClientDC dcBelow(*it);
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
    m_host.OnOverlayClosed();
    DestroyWindow();
    return true;
}

void CSubtitleWnd::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}
