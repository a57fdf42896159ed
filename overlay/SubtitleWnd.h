#pragma once
// CSubtitleWnd: the overlay in which the subtitles appear. A modeless,
// always-on-top, resizable dialog built from IDD_SUBTITLE that draws its text
// centred, word-wrapped and standing on the bottom edge of its client area, in
// the panel's font and colour. A double click switches between framed mode and
// see-through mode, where caption and border are gone and the windows beneath
// are copied in as the background.
//
// Playback lives here too: the controller (core) says what is due; a 100 ms
// timer and a one-shot timer aimed at the next change ask it. The overlay sees
// the panel only as its host (IOverlayHost) and owns itself: it is made on the
// heap by Open and deletes itself after its window's last message.

#include <windows.h>

#include <string>

#include "core/OverlayLink.h"
#include "core/PlaybackController.h"
#include "core/PlayerFilmClock.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "overlay/OverlayCommands.h"
#include "overlay/StatusLine.h"

class CSubtitleWnd : public CDialog, public IOverlay {
public:
    // Makes the overlay and its window (a top-level window that nothing owns);
    // null when the window could not be made.
    static CSubtitleWnd* Open(IOverlayHost& host, const COverlayStart& start);

    // IOverlay
    void Activate() override { SetActiveWindow(); }
    // Switches between framed and see-through; the outer rectangle stays.
    void ToggleSeeThrough() override;
    // Takes up changed options at once (see-through kind, outline, tags).
    void ApplyOptions(const COptionValues& options) override;
    // Follows another film player, or the wall clock, from now on.
    void FollowPlayer(const CPlayerConfig& player) override;

    // Repaints the overlay with the current mode and text.
    void Refresh();
    // Selects the subtitle font, measures the line height, sets the text colour.
    void PrepareDC(CDC* pDC);
    // Copies the windows beneath the overlay into pDC; rcClient in client coordinates.
    void PaintBeneath(CDC* pDC, RECT rcClient);
    // What a paint draws into the client area rcClient of dc, in the mode in
    // use: the background in see-through mode, the status line, the text.
    void Draw(CDC& dc, const RECT& rcClient);

    // What tests read back.
    const std::string& Text() const { return m_strText; }
    const std::string& Status() const { return m_status.Text(); }
    bool IsFramed() const { return m_bFramed != 0; }
    bool HasTimer() const { return m_nTimer != 0; }

    static constexpr UINT_PTR kTimerId = 12345;
    static constexpr UINT kTimerPeriod = 100;  // ms
    static constexpr UINT_PTR kDueTimerId = 12346;     // one-shot, aimed at the next change
    static constexpr UINT_PTR kStatusTimerId = 12347;  // ends the status line's moment
    static constexpr COLORREF kKeyColor = RGB(1, 2, 3);  // the keyed-out background of live see-through
    static constexpr UINT kPlayerMessage = WM_APP + 1;    // the follower has a new state of the player to take

protected:
    BOOL OnInitDialog() override;
    void PostNcDestroy() override;
    // Enter does nothing; Escape closes the overlay as its close button does.
    void OnOK() override;
    void OnCancel() override;

    bool OnClose() override;
    bool OnLButtonDblClk(UINT nFlags, POINT point) override;
    bool OnEraseBkgnd(HDC hDC) override;
    bool OnPaint() override;
    bool OnWindowPosChanged(WINDOWPOS* pWndPos) override;
    bool OnTimer(UINT_PTR nIDEvent) override;
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    CSubtitleWnd(IOverlayHost& host, const COverlayStart& start);
    ~CSubtitleWnd() override;

    void RestoreGeometry();
    // The text: every line centred, the block standing on the bottom edge.
    void DrawTextBlock(CDC& dc, const RECT& rc) const;
    // Works off what is due now and arms the one-shot timer for the next change;
    // bRefresh false leaves the repaint to the caller.
    void Play(bool bRefresh = true);
    void ArmDueTimer();
    // The banner, with a line under it when the file could not be played.
    std::string Banner() const;
    // Runs one live-control command (IDM_OVERLAY_...); false for another id.
    bool DoCommand(UINT nID);
    void ShowStatus(const std::string& text, UINT nMs = CStatusLine::kShowMs);
    // What the status line shows once a moment's text is over: the player
    // waited for or answering wrongly, else "Paused" while paused, else nothing.
    std::string StandingStatus() const;
    // ---- Following a film player
    // A clock that follows player and posts kPlayerMessage here; m_pPlayer points at it.
    std::unique_ptr<IFilmClock> MakePlayerClock(const CPlayerConfig& player);
    // Takes the follower's latest state; true when the status line changed.
    bool TakePlayerState();
    // The pause command: the wall clock pauses at once, a player is told; the status to show.
    std::string PauseCommand();
    // The timers run again after the end of the file (a player may seek back).
    void KeepTicking();
    void ShowMenu(LPARAM lParam);
    // Live see-through (an option): on, or back to the copying kind.
    void SetLiveSeeThrough(bool bLive);

    // How the subtitle file is read: the code page chosen, converted by the system.
    CFileEncoding Encoding() const;

    std::string m_strText;         // the banner, a cue's text, or empty
    bool m_bMarkup = false;        // m_strText is in the canonical markup (a WebVTT or ASS/SSA cue)
    COverlayStart m_start;         // file, start point, delay, rate and options at the start
    IOverlayHost& m_host;          // the panel, never gone before the overlay
    COptionValues m_options;       // the options in use
    int m_bPaintEnabled = 1;       // 0 only while a see-through refresh hides the window
    int m_bFramed = 1;             // 1 framed, 0 see-through
    bool m_bLive = false;          // see-through as a colour-keyed layered window (an option)
    SIZE m_sizeLine{0, 0};         // extent of "W" in the font in use; cy = line height
    UINT_PTR m_nTimer = 0;         // what SetTimer returned; 0 = none was set
    bool m_bTicking = false;       // the 100 ms timer runs
    CPlaybackController m_controller;
    COverlayCommands m_commands;   // live controls: hotkeys and the right-click menu
    CStatusLine m_status;          // feedback of the live controls
    CFont m_font;                  // made from the host's font description
    KLogFont m_lfMade{};           // ... this one
    bool* m_pGone = nullptr;       // set by the destructor while Open waits for the window
    CPlayerFilmClock* m_pPlayer = nullptr;  // the controller's clock while it follows a player, else null
    std::string m_strPlayerStatus;          // the follower's status last taken
    bool m_bPlayerPaused = false;           // ... and its pause state
};
