#pragma once
// The film clock when Kelvane follows a film player: what the follower last
// learnt of the player, extrapolated to the time asked for.

#include "core/FilmClock.h"
#include "core/PlayerFollower.h"

class CPlayerFilmClock : public IFilmClock {
public:
    // onChange: see CPlayerFollower (called on its worker thread).
    CPlayerFilmClock(const CPlayerConfig& config, std::unique_ptr<IPlayerTransport> transport,
                     std::function<void()> onChange, SteadyMsClock clock = SteadyNowMs)
        : m_follower(config, std::move(transport), std::move(onChange), std::move(clock))
    {
    }

    double Position(double nowMs) const override { return m_follower.Snapshot().lock.Position(nowMs); }
    double Speed(double) const override { return m_follower.Snapshot().lock.Rate(); }
    void TogglePause(double) override { m_follower.TogglePause(); }
    bool IsPaused() const override { return m_follower.Snapshot().bPaused; }
    bool IsKnown() const override { return m_follower.Snapshot().lock.IsKnown(); }
    std::string Status() const override { return m_follower.Snapshot().strStatus; }

private:
    CPlayerFollower m_follower;
};
