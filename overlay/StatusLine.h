#pragma once
// CStatusLine: the overlay's short feedback after a live control ("Delay
// +300 ms", "Cue 12", "Paused"): a smaller line at the top of the client
// area, so the cue standing on the bottom edge stays in view; one too wide for
// the overlay wraps. A message shows for a moment; "Paused" stays while
// playback is paused.

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

class CStatusLine {
public:
    static constexpr UINT kShowMs = 1500;

    // Shows text (UTF-8) from now on, until Expire.
    void Show(const std::string& text) { m_strText = text; }
    // The moment is over: what stays is "Paused" while paused, else nothing.
    void Expire(bool bPaused) { m_strText = bPaused ? "Paused" : ""; }
    const std::string& Text() const { return m_strText; }

    // Draws the text at the top of rcClient in a font half the height of
    // lfCue (the cue's font) and the current text colour.
    void Draw(const CDC& dc, const RECT& rcClient, const LOGFONTA& lfCue) const;

private:
    std::string m_strText;
};
