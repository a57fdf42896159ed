#pragma once
// Ties subtitle time to the wall clock and, tick by tick, turns the cues into
// show and clear changes of the overlay's text.
//
// Where the subtitles are is one subtitle time derived from the wall clock:
// subtitle time = (now - m_dBase) * m_dRate, or a fixed time while paused. The
// live controls (pause, nudge, cue steps, rate) only re-anchor that mapping; a
// move backwards re-opens the file and reads forward again to the new time.
// Each tick brings the text to what is due now: a cue that has already ended
// when its turn comes is skipped without being shown.

#include <cstdint>
#include <functional>
#include <string>

#include "core/SrtReader.h"

// Wall-clock time in whole milliseconds since the epoch, held in a double.
using WallClock = std::function<double()>;
double WallClockNow();

// The point in the film where playback starts, in ms (exact in a double).
double StartOffsetMs(int32_t hour, int32_t min, int32_t sec, int32_t millis);

class CPlaybackSchedule {
public:
    explicit CPlaybackSchedule(WallClock clock = WallClockNow);

    // Opens the file at the start offset and reads the clock. False: nothing to
    // play (the caller sets no timer and keeps showing its banner).
    bool Start(const std::string& path, double startOffset, int32_t delay);
    // After a Start that failed: true when the file opened (and so holds no cue
    // to play), false when it could not be opened at all.
    bool FileOpened() const { return m_reader.m_fp != nullptr; }

    enum TickResult {
        NotDue,             // nothing changes in this tick
        Changed,            // text holds the new text to show
        ChangedAndFinished  // text holds the new text; then playback has ended:
                            // stop the timer and show the banner
    };
    // One timer tick: works off every change that is due now.
    TickResult Tick(std::string& text);

    // Live controls. Each takes effect at the next Tick, which the caller makes
    // at once. They do nothing before Start has found something to play.
    bool TogglePause();        // true when now paused
    void Nudge(double ms);     // cues come ms later (earlier when negative)
    bool NextCue();            // false: no cue after the current one
    bool PreviousCue();        // false: no cue before the one shown or last shown
    void SetRate(double rate); // subtitle time runs at rate from now on

    double SubtitleTime() const;
    // Wall-clock time of the next change; a huge value when none can come.
    double NextDue() const;
    bool IsPlaying() const { return m_bStarted && !m_bFinished; }

    CSrtReader m_reader;
    double m_dBase = 0;    // wall-clock time of subtitle time 0
    double m_dNext = 0;    // wall-clock time of the next change
    int m_bShowing = 0;    // 0: the next change shows a cue; 1: it clears it
    bool m_bStarted = false;   // Start has opened the file
    bool m_bFinished = false;  // playback has ended: ticks change nothing any more
    bool m_bPaused = false;
    double m_dRate = 1;
    int32_t m_nShownIndex = 0;  // the file's number of the cue shown or last shown
    std::string m_strShown;     // the text the schedule has the overlay show
    WallClock m_clock;

private:
    void SetSubtitleTime(double t);
    void Reopen();
    void Advance();  // past the current cue to the next header
    void UpdateNext();

    std::string m_strPath;
    double m_dPausedAt = 0;        // subtitle time held while paused
    bool m_bResync = false;        // the next tick reports the text even if unchanged
    bool m_bHaveBefore = false;    // a cue precedes the current one in file order
    double m_dBeforeStart = 0;     // ... and its start
    bool m_bHaveShown = false;     // a cue has been shown
    bool m_bHaveShownBefore = false;
    double m_dShownBeforeStart = 0;  // start of the cue before the one shown or last shown
};
