#include "core/PlaybackController.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Unicode.h"
#include "core/WallFilmClock.h"

namespace {

int32_t ClampToInt32(double value)
{
    return static_cast<int32_t>(std::max<double>(INT32_MIN, std::min<double>(INT32_MAX, value)));
}

}  // namespace

CPlaybackController::CPlaybackController(std::function<double()> now) : m_now(std::move(now)) {}

bool CPlaybackController::Start(const std::string& path, double startOffset, int32_t delay, double rate,
                                double pressInstant)
{
    m_nDelay = delay;
    m_dRate = rate > 0 ? rate : 1;
    m_pClock = std::make_unique<CWallFilmClock>(startOffset, pressInstant);
    // At rate 1 the file is skipped to the start offset itself.
    return Begin(path, startOffset * m_dRate);
}

bool CPlaybackController::Start(const std::string& path, std::unique_ptr<IFilmClock> clock, int32_t delay,
                                double rate)
{
    m_nDelay = delay;
    m_dRate = rate > 0 ? rate : 1;
    m_pClock = std::move(clock);
    // The first tick reads forward to where the player is. With nothing to
    // play the clock source is let go: no player is followed for nothing.
    if (Begin(path, 0))
        return true;
    m_pClock.reset();
    return false;
}

void CPlaybackController::SetClock(std::unique_ptr<IFilmClock> clock)
{
    if (clock)
        m_pClock = std::move(clock);
}

bool CPlaybackController::Begin(const std::string& path, double skipTo)
{
    m_bEndReported = false;
    m_bStarted = m_schedule.Open(path, skipTo);
    return m_bStarted;
}

double CPlaybackController::SubtitleTime() const
{
    return m_pClock->Position(m_now()) * m_dRate - m_nDelay;
}

CPlaybackController::TickResult CPlaybackController::Tick(std::string& text)
{
    if (!m_bStarted || !m_pClock->IsKnown())
        return NotDue;
    const double t = SubtitleTime();
    bool changed = false;
    if (t < m_schedule.LastChange()) {
        // Back in time: the reader only goes forward, so start again at the top.
        m_schedule.Restart();
        m_bEndReported = false;
        changed = true;
    }
    changed = m_schedule.AdvanceTo(t) || changed;
    // A cue cut at the reader's length limit may end in half a character.
    text = DropCutCharacter(m_schedule.Text());
    if (m_schedule.IsFinished() && !m_bEndReported) {
        m_bEndReported = true;
        return ChangedAndFinished;
    }
    return changed ? Changed : NotDue;
}

double CPlaybackController::NextDue() const
{
    if (!m_bStarted || !m_pClock->IsKnown())
        return CPlaybackSchedule::kNever;
    const double change = m_schedule.NextChange();
    const double now = m_now();
    const double speed = m_pClock->Speed(now);
    if (change >= CPlaybackSchedule::kNever || !(speed > 0))
        return CPlaybackSchedule::kNever;
    // The film position at which the change's subtitle time comes.
    const double film = (change + m_nDelay) / m_dRate;
    return now + (film - m_pClock->Position(now)) / speed;
}

bool CPlaybackController::TogglePause()
{
    if (!m_bStarted)
        return false;
    m_pClock->TogglePause(m_now());
    return m_pClock->IsPaused();
}

int32_t CPlaybackController::Nudge(int32_t ms)
{
    if (m_bStarted)
        m_nDelay = ClampToInt32(static_cast<double>(m_nDelay) + ms);
    return m_nDelay;
}

void CPlaybackController::SetDelayFor(double t)
{
    // Whole ms, rounded down: the subtitle time lands at t or just after it,
    // so the cue that starts at t is due.
    m_nDelay = ClampToInt32(std::floor(m_pClock->Position(m_now()) * m_dRate - t));
}

bool CPlaybackController::NextCue()
{
    double start;
    if (!IsPlaying() || !m_schedule.NextCueStart(start))
        return false;
    SetDelayFor(start);
    return true;
}

bool CPlaybackController::PreviousCue()
{
    double start;
    if (!m_bStarted || !m_schedule.PreviousCueStart(start))
        return false;
    SetDelayFor(start);
    return true;
}

void CPlaybackController::SetRate(double rate)
{
    if (rate > 0)
        m_dRate = rate;
}
