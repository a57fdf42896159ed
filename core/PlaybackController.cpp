#include "core/PlaybackController.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/CueSchedule.h"
#include "core/SubtitleFormat.h"
#include "core/Unicode.h"
#include "core/WallFilmClock.h"

namespace {

int32_t ClampToInt32(double value)
{
    return static_cast<int32_t>(std::max<double>(INT32_MIN, std::min<double>(INT32_MAX, value)));
}

}  // namespace

CPlaybackController::CPlaybackController(std::function<double()> now)
    : m_now(std::move(now)), m_pSchedule(std::make_unique<CPlaybackSchedule>())
{
}

bool CPlaybackController::Start(const std::string& path, double startOffset, int32_t delay, double rate,
                                double pressInstant, const CFileEncoding& encoding)
{
    m_nDelay = delay;
    m_dRate = rate > 0 ? rate : 1;
    m_pClock = std::make_unique<CWallFilmClock>(startOffset, pressInstant);
    // At rate 1 the file is skipped to the start offset itself.
    return Begin(path, startOffset * m_dRate, encoding);
}

bool CPlaybackController::Start(const std::string& path, std::unique_ptr<IFilmClock> clock, int32_t delay,
                                double rate, const CFileEncoding& encoding)
{
    m_nDelay = delay;
    m_dRate = rate > 0 ? rate : 1;
    m_pClock = std::move(clock);
    // The first tick reads forward to where the player is. With nothing to
    // play the clock source is let go: no player is followed for nothing.
    if (Begin(path, 0, encoding))
        return true;
    m_pClock.reset();
    return false;
}

void CPlaybackController::SetClock(std::unique_ptr<IFilmClock> clock)
{
    if (clock)
        m_pClock = std::move(clock);
}

void CPlaybackController::SetEncoding(const CFileEncoding& encoding)
{
    if (m_bStarted)
        Begin(m_strPath, 0, encoding);
}

bool CPlaybackController::Begin(const std::string& path, double skipTo, const CFileEncoding& encoding)
{
    m_strPath = path;
    m_bEndReported = false;
    const SubtitleFormat format = DetectSubtitleFormat(path, nullptr, encoding);
    if (format == SubtitleFormat::SubRip)
        m_pSchedule = std::make_unique<CPlaybackSchedule>();
    else
        m_pSchedule = std::make_unique<CCueSchedule>(format);
    m_bStarted = m_pSchedule->Open(path, skipTo, encoding);
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
    if (t < m_pSchedule->LastChange()) {
        // Back in time: the reader only goes forward, so start again at the top.
        m_pSchedule->Restart();
        m_bEndReported = false;
        changed = true;
    }
    changed = m_pSchedule->AdvanceTo(t) || changed;
    // A cue cut at the reader's length limit may end in half a character.
    text = DropCutCharacter(m_pSchedule->Text());
    if (m_pSchedule->IsFinished() && !m_bEndReported) {
        m_bEndReported = true;
        return ChangedAndFinished;
    }
    return changed ? Changed : NotDue;
}

double CPlaybackController::NextDue() const
{
    if (!m_bStarted || !m_pClock->IsKnown())
        return ISubtitleSchedule::kNever;
    const double change = m_pSchedule->NextChange();
    const double now = m_now();
    const double speed = m_pClock->Speed(now);
    if (change >= ISubtitleSchedule::kNever || !(speed > 0))
        return ISubtitleSchedule::kNever;
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
    if (!IsPlaying() || !m_pSchedule->NextCueStart(start))
        return false;
    SetDelayFor(start);
    return true;
}

bool CPlaybackController::PreviousCue()
{
    double start;
    if (!m_bStarted || !m_pSchedule->PreviousCueStart(start))
        return false;
    SetDelayFor(start);
    return true;
}

void CPlaybackController::SetRate(double rate)
{
    if (rate > 0)
        m_dRate = rate;
}
