#pragma once
// Ties subtitle time to the wall clock once and then, tick by tick, turns the
// cues into show and clear changes of the overlay's text.

#include <cstdint>
#include <functional>
#include <string>

#include "playback/SrtReader.h"

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
    // One timer tick: at most one change.
    TickResult Tick(std::string& text);

    CSrtReader m_reader;
    double m_dBase = 0;    // wall-clock time of subtitle time 0
    double m_dNext = 0;    // wall-clock time of the next change
    int m_bShowing = 0;    // 0: the next change shows a cue; 1: it clears it
    bool m_bStarted = false;   // Start has opened the file: ticks may change the text
    bool m_bFinished = false;  // playback has ended: ticks change nothing any more
    WallClock m_clock;
};
