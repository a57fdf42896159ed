#pragma once
// The film clock when Kelvane follows a film player. The follower's worker
// thread learns the player's state and calls notify (the Windows side posts a
// message, at most one outstanding); the window thread then takes the state
// over with Take, and every question below reads only what was taken, so a
// tick sees one state from start to end.

#include <atomic>

#include "core/FilmClock.h"
#include "core/PlayerFollower.h"

class CPlayerFilmClock : public IFilmClock {
public:
    // notify: called on the worker thread when there is a new state to take, not again until it was taken.
    CPlayerFilmClock(const CPlayerConfig& config, std::unique_ptr<IPlayerTransport> transport,
                     std::function<void()> notify, SteadyMsClock clock = SteadyNowMs)
        : m_notify(std::move(notify)), m_config(config),
          m_follower(config, std::move(transport), [this] { Changed(); }, std::move(clock))
    {
        m_state = m_follower.Snapshot();
    }

    // Takes over the follower's latest state.
    void Take()
    {
        m_bNotified = false;
        m_state = m_follower.Snapshot();
    }
    const CPlayerState& State() const { return m_state; }
    const CPlayerConfig& Config() const { return m_config; }

    double Position(double nowMs) const override { return m_state.lock.Position(nowMs); }
    double Speed(double) const override { return m_state.bPaused ? 0 : m_state.lock.Rate(); }
    // The player is told; its answer comes back as a new state.
    void TogglePause(double) override { m_follower.TogglePause(); }
    bool IsPaused() const override { return m_state.bPaused; }
    bool IsKnown() const override { return m_state.lock.IsKnown(); }
    std::string Status() const override { return m_state.strStatus; }

private:
    void Changed()
    {
        if (!m_bNotified.exchange(true) && m_notify)
            m_notify();
    }

    std::function<void()> m_notify;
    std::atomic<bool> m_bNotified{false};
    const CPlayerConfig m_config;
    CPlayerState m_state;
    CPlayerFollower m_follower;  // last: its thread ends before the members it calls into go
};
