#pragma once
// The one place that decides which subtitle belongs on the screen now.
//
// It owns the film's clock, the rate, the delay and the schedule:
//     subtitle time = film position x rate - delay
// always. The film position comes from a clock source: the wall clock, anchored
// at the From fields at the instant Start was pressed, or a film player. Every
// live command changes the delay or the rate here (or pauses the clock), and
// the next Tick brings the text to what is due at the new subtitle time; going
// back in time reads the file forward again from its top. The file's content
// picks the schedule: SubRip's, one cue at a time, or that of the cue formats,
// whose overlapping cues show together.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/FilmClock.h"
#include "core/PlaybackSchedule.h"

class CPlaybackController {
public:
    // now: the steady clock in ms (SteadyNowMs; tests inject their own).
    explicit CPlaybackController(std::function<double()> now);

    // Plays path from the wall clock: the film stood at startOffset (ms) at the
    // steady time pressInstant, when the user pressed Start, and runs on from
    // there. The file is skipped to the first cue at or after the subtitle time
    // of that point before the delay. False: nothing to play. A file without
    // a byte-order mark is read as encoding says.
    bool Start(const std::string& path, double startOffset, int32_t delay, double rate, double pressInstant,
               const CFileEncoding& encoding = {});
    // Plays path from another clock source (a film player); when there is
    // nothing to play, the clock is destroyed at once.
    bool Start(const std::string& path, std::unique_ptr<IFilmClock> clock, int32_t delay, double rate,
               const CFileEncoding& encoding = {});
    // Another clock source from now on; the next Tick brings the text to it.
    void SetClock(std::unique_ptr<IFilmClock> clock);
    // Reads the file again from its top in another encoding; the next Tick
    // brings the text to what is due.
    void SetEncoding(const CFileEncoding& encoding);

    enum TickResult {
        NotDue,             // the text stays as it is
        Changed,            // text holds the new text to show
        ChangedAndFinished  // text holds the new text; playback has ended
    };
    // Brings the text to what is due now.
    TickResult Tick(std::string& text);
    // The text that Tick gives is in the canonical markup (MarkupWriter.h),
    // else a SubRip cue's text as the file holds it.
    bool TextIsMarkup() const { return m_pSchedule->IsMarkup(); }
    // Steady time of the next change; a huge value when none can come.
    double NextDue() const;
    double SubtitleTime() const;

    // Live commands. Each takes effect at the next Tick, which the caller makes
    // at once; none does anything before a Start that found something to play.
    bool TogglePause();  // true when now paused
    // The delay grows by ms (cues later; earlier when negative), stopping at the
    // limits of 32 bits; returns the new delay.
    int32_t Nudge(int32_t ms);
    // The delay changes so that the next cue (the one after the cue shown)
    // starts now; false when there is none.
    bool NextCue();
    // The delay changes so that the cue before the one shown or last shown
    // starts now; false when there is none.
    bool PreviousCue();
    // Only the rate changes: the subtitles jump to where they belong at this
    // point of the film.
    void SetRate(double rate);

    int32_t Delay() const { return m_nDelay; }
    double Rate() const { return m_dRate; }
    bool HasStarted() const { return m_bStarted; }
    bool IsPlaying() const { return m_bStarted && !m_pSchedule->IsFinished(); }
    bool IsPaused() const { return m_pClock && m_pClock->IsPaused(); }
    bool FileOpened() const { return m_pSchedule->FileOpened(); }
    // Playback ended and nothing in the file could ever be shown.
    bool ShowedNothing() const { return m_pSchedule->IsFinished() && m_pSchedule->ShowedNothing(); }
    int32_t ShownIndex() const { return m_pSchedule->ShownIndex(); }
    const IFilmClock* Clock() const { return m_pClock.get(); }

private:
    bool Begin(const std::string& path, double skipTo, const CFileEncoding& encoding);
    // The delay at which subtitle time t is now.
    void SetDelayFor(double t);

    std::function<double()> m_now;
    std::string m_strPath;
    std::unique_ptr<IFilmClock> m_pClock;
    std::unique_ptr<ISubtitleSchedule> m_pSchedule;  // never null
    int32_t m_nDelay = 0;
    double m_dRate = 1;
    bool m_bStarted = false;
    bool m_bEndReported = false;  // the end of playback has been reported by Tick
};
