#include "playback/PlaybackSchedule.h"

#include <chrono>
#include <utility>

#include "playback/TimeMs.h"

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
    m_bShowing = 0;
    // The clock is read only now, so the time spent skipping to the start
    // offset does not shift the schedule.
    const double now = m_clock();
    m_dBase = now + static_cast<double>(delay) - startOffset;
    m_dNext = m_dBase + m_reader.m_dStart;
    m_bStarted = true;
    m_bFinished = false;
    return true;
}

CPlaybackSchedule::TickResult CPlaybackSchedule::Tick(std::string& text)
{
    if (!m_bStarted || m_bFinished)
        return NotDue;
    const double now = m_clock();
    if (now < m_dNext)
        return NotDue;

    // Change the text: show the current cue, or clear it.
    if (m_bShowing == 0)
        text = m_reader.ReadText();
    else
        text.clear();

    // Schedule the next change: this cue's end, or the next cue's start.
    if (m_bShowing == 0) {
        m_dNext = m_reader.m_dEnd + m_dBase;
    } else {
        m_reader.ReadHeader();
        m_dNext = m_reader.m_dStart + m_dBase;
    }

    // Playback ends only with a change that clears: a last cue whose text ran
    // into the end of the file is still shown until its end time.
    const bool finished = m_bShowing == 1 && m_reader.IsAtEnd();
    m_bShowing = 1 - m_bShowing;
    if (finished) {
        m_bFinished = true;
        return ChangedAndFinished;
    }
    return Changed;
}
