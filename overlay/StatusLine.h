#pragma once
// CStatusLine: the overlay's short feedback after a live control ("Delay
// +300 ms", "Cue 12", "Paused"): a smaller line at the top of the client
// area, so the cue standing on the bottom edge stays in view; one too wide for
// the overlay wraps. A message shows for a moment; then what stands (such as
// "Paused" while playback is paused) shows until it changes.

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

class CStatusLine {
public:
    static constexpr UINT kShowMs = 1500;

    // Shows text (UTF-8) from now on, until the next Show.
    void Show(const std::string& text) { m_strText = text; }
    const std::string& Text() const { return m_strText; }

    // Draws the text (UTF-8) at the top of rcClient, centred, in a font half
    // the height of lfCue (the cue's font) and the current text colour.
    void Draw(const CDC& dc, const RECT& rcClient, const LOGFONTA& lfCue) const;

private:
    std::string m_strText;
};
