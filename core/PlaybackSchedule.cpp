#include "core/PlaybackSchedule.h"

#include <chrono>
#include <utility>

#include "core/TimeMs.h"

namespace {
constexpr double kNever = 1e300;  // a due time no clock reaches
}

double WallClockNow()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<double>(ms);
}

double StartOffsetMs(int32_t hour, int32_t min, int32_t sec, int32_t millis)
{
    return TimeMs(hour, min, sec, millis);
}

CPlaybackSchedule::CPlaybackSchedule(WallClock clock) : m_clock(std::move(clock)) {}

bool CPlaybackSchedule::Start(const std::string& path, double startOffset, int32_t delay)
{
    if (!m_reader.Open(path, startOffset))
        return false;
    m_strPath = path;
    m_bShowing = 0;
    m_bPaused = false;
    m_bHaveBefore = m_bHaveShown = false;
    m_strShown.clear();
    // The clock is read only now, so the time spent skipping to the start
    // offset does not shift the schedule. At rate 1 this is exactly
    // now + delay - startOffset.
    const double now = m_clock();
    m_dBase = now - (startOffset - static_cast<double>(delay)) / m_dRate;
    m_bStarted = true;
    m_bFinished = false;
    UpdateNext();
    return true;
}

double CPlaybackSchedule::SubtitleTime() const
{
    return m_bPaused ? m_dPausedAt : (m_clock() - m_dBase) * m_dRate;
}

void CPlaybackSchedule::SetSubtitleTime(double t)
{
    if (m_bPaused)
        m_dPausedAt = t;
    else
        m_dBase = m_clock() - t / m_dRate;
}

double CPlaybackSchedule::NextDue() const
{
    return IsPlaying() && !m_bPaused ? m_dNext : kNever;
}

void CPlaybackSchedule::UpdateNext()
{
    m_dNext = m_dBase + (m_bShowing ? m_reader.m_dEnd : m_reader.m_dStart) / m_dRate;
}

void CPlaybackSchedule::Advance()
{
    m_bHaveBefore = true;
    m_dBeforeStart = m_reader.m_dStart;
    m_reader.ReadHeader();
    if (m_reader.IsAtEnd())
        m_bFinished = true;
}

CPlaybackSchedule::TickResult CPlaybackSchedule::Tick(std::string& text)
{
    if (!m_bStarted || ((m_bFinished || m_bPaused) && !m_bResync))
        return NotDue;
    const bool bWasFinished = m_bFinished;
    bool changed = m_bResync;
    m_bResync = false;
    const double t = SubtitleTime();
    // Work off every change that is due now. A cue whose end has passed too is
    // read and dropped: it is never shown, and the text it would have replaced
    // is already cleared.
    while (!m_bFinished) {
        if (m_bShowing == 0) {
            if (t < m_reader.m_dStart)
                break;
            const std::string& cue = m_reader.ReadText();
            m_bHaveShown = true;
            m_nShownIndex = m_reader.m_nIndex;
            m_bHaveShownBefore = m_bHaveBefore;
            m_dShownBeforeStart = m_dBeforeStart;
            if (t < m_reader.m_dEnd) {
                m_strShown = cue;
                m_bShowing = 1;
                changed = true;
            } else {
                Advance();
            }
        } else {
            if (t < m_reader.m_dEnd)
                break;
            // Playback ends only with a change that clears: a last cue whose
            // text ran into the end of the file is still shown until its end.
            m_strShown.clear();
            m_bShowing = 0;
            changed = true;
            Advance();
        }
    }
    UpdateNext();
    if (m_bFinished && (changed || !bWasFinished)) {
        text = m_strShown;
        return ChangedAndFinished;
    }
    if (!changed)
        return NotDue;
    text = m_strShown;
    return Changed;
}

void CPlaybackSchedule::Reopen()
{
    // The reader only goes forward: start again at the top of the file and let
    // the next tick read forward to the new subtitle time.
    m_bShowing = 0;
    m_bHaveBefore = m_bHaveShown = false;
    m_strShown.clear();
    m_bResync = true;
    m_bFinished = !m_reader.Open(m_strPath, 0);
}

bool CPlaybackSchedule::TogglePause()
{
    if (!IsPlaying() && !m_bPaused)
        return false;
    if (!m_bPaused) {
        m_dPausedAt = SubtitleTime();
        m_bPaused = true;
    } else {
        m_bPaused = false;
        SetSubtitleTime(m_dPausedAt);
    }
    UpdateNext();
    return m_bPaused;
}

void CPlaybackSchedule::Nudge(double ms)
{
    if (!m_bStarted || ms == 0)
        return;
    if (m_bPaused)
        m_dPausedAt -= ms * m_dRate;
    else
        m_dBase += ms;
    if (ms > 0)
        Reopen();  // back in time: a cue that is due again comes back
    m_bResync = true;  // also while paused: a nudge shows its effect at once
    UpdateNext();
}

bool CPlaybackSchedule::NextCue()
{
    if (!IsPlaying())
        return false;
    if (m_bShowing) {
        // The next cue's header comes after the shown one; at the end of the
        // file the shown cue stays as it was.
        const double dStart = m_reader.m_dStart, dEnd = m_reader.m_dEnd;
        const int32_t nIndex = m_reader.m_nIndex;
        m_reader.ReadHeader();
        if (m_reader.IsAtEnd()) {
            m_reader.m_dStart = dStart, m_reader.m_dEnd = dEnd, m_reader.m_nIndex = nIndex;
            return false;
        }
        m_bHaveBefore = true;
        m_dBeforeStart = dStart;
        m_bShowing = 0;
        m_strShown.clear();
    }
    SetSubtitleTime(m_reader.m_dStart);
    m_bResync = true;
    UpdateNext();
    return true;
}

bool CPlaybackSchedule::PreviousCue()
{
    if (!m_bStarted || !(m_bHaveShown ? m_bHaveShownBefore : m_bHaveBefore))
        return false;
    SetSubtitleTime(m_bHaveShown ? m_dShownBeforeStart : m_dBeforeStart);
    Reopen();
    UpdateNext();
    return true;
}

void CPlaybackSchedule::SetRate(double rate)
{
    if (!(rate > 0))
        return;
    const double t = SubtitleTime();
    m_dRate = rate;
    SetSubtitleTime(t);
    if (m_bStarted)
        UpdateNext();
}
