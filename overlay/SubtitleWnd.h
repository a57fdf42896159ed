#pragma once
// CSubtitleWnd: the overlay in which the subtitles appear. A modeless,
// always-on-top, resizable dialog built from IDD_SUBTITLE that draws its text
// centred, word-wrapped and standing on the bottom edge of its client area, in
// the panel's font and colour. A double click switches between framed mode and
// see-through mode, where caption and border are gone and the windows beneath
// are copied in as the background.
//
// Playback lives here too: OnInitDialog ties subtitle time to the wall clock
// (CPlaybackSchedule) and sets a 100 ms timer; each due tick changes the text.
//
// The object is always made on the heap by the panel and deletes itself after
// its window's last message (PostNcDestroy).

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "overlay/OverlayCommands.h"
#include "core/OptionValues.h"
#include "core/PlaybackSchedule.h"
#include "overlay/StatusLine.h"

class CControlDlg;

class CSubtitleWnd : public CDialog {
public:
    // Makes no window; the panel calls Create(IDD_SUBTITLE, desktop) afterwards.
    explicit CSubtitleWnd(CControlDlg* pPanel);
    ~CSubtitleWnd() override;

    // Repaints the overlay with the current mode and text.
    void Refresh();
    // Switches between framed and see-through; the outer rectangle stays.
    void ToggleSeeThrough();
    // Takes up changed options at once (see-through kind, outline, tags).
    void ApplyOptions();
    // Selects the panel's font, measures the line height, sets the text colour.
    void PrepareDC(CDC* pDC);
    // Copies the windows beneath the overlay into pDC; rcClient in client coordinates.
    void PaintBeneath(CDC* pDC, RECT rcClient);

    // The number of lines the text block is given room for: line feeds + 1.
    static int LineCount(const std::string& text);
    // The rectangle the text is drawn into: the client rectangle with its top
    // raised to leave exactly LineCount lines above the bottom edge.
    static RECT TextRect(const RECT& rcClient, const std::string& text, int nLineHeight);
    // True when the text is valid UTF-8 holding at least one non-ASCII byte: it
    // is then drawn as UTF-8. Any other text is drawn in the ANSI code page.
    static bool IsUtf8Text(const std::string& text);

    static constexpr UINT_PTR kTimerId = 12345;
    static constexpr UINT kTimerPeriod = 100;  // ms
    static constexpr UINT_PTR kDueTimerId = 12346;     // one-shot, aimed at the next change
    static constexpr UINT_PTR kStatusTimerId = 12347;  // ends the status line's moment

    std::string m_strText;         // the banner, a cue's text, or empty
    double m_dStartOffset = 0;     // ms; set by the panel before Create
    CControlDlg* m_pPanel;         // never null, not owned
    int m_bPaintEnabled = 1;       // 0 only while a see-through refresh hides the window
    int m_bFramed = 1;             // 1 framed, 0 see-through
    SIZE m_sizeLine{0, 0};         // extent of "W" in the font in use; cy = line height
    UINT_PTR m_nTimer = 0;         // what SetTimer returned; 0 = none was set
    CPlaybackSchedule m_schedule;  // clock, phase and the SubRip reader
    COverlayCommands m_commands;   // live controls: hotkeys and the right-click menu
    CStatusLine m_status;          // feedback of the live controls
    bool m_bTicking = false;       // the 100 ms timer runs
    static double s_dRate;         // rate preset chosen, kept for the session

    // Runs one live-control command (IDM_OVERLAY_...); false for another id.
    bool DoCommand(UINT nID);
    bool m_bLive = false;          // see-through as a colour-keyed layered window (an option)
    static constexpr COLORREF kKeyColor = RGB(1, 2, 3);  // the keyed-out background of that mode

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
    void RestoreGeometry();
    void DrawTextBlock(CDC& dc, RECT& rc) const;
    // Works off what is due now and arms the one-shot timer for the next change;
    // bRefresh false leaves the repaint to the caller.
    void Play(bool bRefresh = true);
    void ArmDueTimer();
    void ShowStatus(const std::string& text, UINT nMs = CStatusLine::kShowMs);
    void ShowMenu(LPARAM lParam);
    // Live see-through (an option): on, or back to the copying kind.
    void SetLiveSeeThrough(bool bLive);
    // The text drawn by the options' layout: outline, styles, colour key.
    void DrawStyledText(CDC& dc, const RECT& rc, const COptionValues& options) const;
};
