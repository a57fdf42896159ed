#pragma once
// Follows one film player's clock. A session holds the conversation with the
// player (mpv's pipe, or MPC's or VLC's web interface) and is driven one step
// at a time; the follower runs it on a worker thread, so that no pipe or socket
// ever blocks the window, and hands each new state over behind a mutex.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/MpvProtocol.h"
#include "core/PlayerConfig.h"
#include "core/PlayerTransport.h"
#include "core/PositionLock.h"
#include "core/WallFilmClock.h"

// Steady time in ms, from the steady clock (SteadyNowMs) or a clock a test moves.
using SteadyMsClock = std::function<double()>;

// What the window thread may know of the player.
struct CPlayerState {
    enum Link { Waiting, Refused, Following };
    Link eLink = Waiting;       // no player; a player that answered wrongly; a player followed
    CPositionLock lock;
    bool bPaused = false;
    std::string strStatus;      // for the status line: "Following VLC", "Waiting for ...", or what was wrong
    std::string strVersion;     // what the player calls itself ("VLC 3.0.18 Vetinari"), when it says
    bool operator==(const CPlayerState&) const = delete;
};

class CPlayerSession {
public:
    static constexpr int kRequestMs = 500;  // the longest any one request may take
    static constexpr int kRetryMs = 1000;   // the wait before trying again after a failure
    static constexpr int kSliceMs = 50;     // the longest a read waits before the session looks up

    // A session for the configured player (none when Follow is off). stop, when
    // given, cuts a request short.
    static std::unique_ptr<CPlayerSession> Create(const CPlayerConfig& config, IPlayerTransport& transport,
                                                  SteadyMsClock clock, const std::atomic<bool>* stop = nullptr);
    virtual ~CPlayerSession() = default;

    // Does the next piece of work (connects, asks, reads what came); returns how many ms to wait before the next.
    virtual int Step() = 0;
    // The player is told to pause or resume at the next step.
    void RequestTogglePause() { m_bToggle = true; }
    const CPlayerState& State() const { return m_state; }
    // Check's one line: "VLC 3.0.18: playing, 0:12:34", or why not.
    std::string Describe() const;

protected:
    CPlayerSession(const CPlayerConfig& config, IPlayerTransport& transport, SteadyMsClock clock,
                   const std::atomic<bool>* stop);
    void Wait(const std::string& why);      // no player: waiting for it
    void Refuse(const std::string& reason); // the player's answer was not what it writes
    void Follow(const CPlayerEstimate& estimate);

    const CPlayerConfig m_config;
    IPlayerTransport& m_transport;
    const SteadyMsClock m_clock;
    const std::atomic<bool>* m_pStop;
    CPlayerState m_state;
    std::string m_strError;  // why the last connection failed
    bool m_bToggle = false;
};

class CPlayerFollower {
public:
    // Starts following at once. onChange is called on the worker thread after each material change
    // (the Windows side posts a message); it must not call back into the follower.
    CPlayerFollower(const CPlayerConfig& config, std::unique_ptr<IPlayerTransport> transport,
                    std::function<void()> onChange, SteadyMsClock clock = SteadyNowMs);
    ~CPlayerFollower();
    CPlayerFollower(const CPlayerFollower&) = delete;
    CPlayerFollower& operator=(const CPlayerFollower&) = delete;

    CPlayerState Snapshot() const;
    void TogglePause();

private:
    static constexpr double kNotifyMs = 30;  // a smaller move of the estimate is not worth a message
    void Run();

    std::unique_ptr<IPlayerTransport> m_transport;
    std::function<void()> m_onChange;
    SteadyMsClock m_clock;
    std::atomic<bool> m_bStop{false};
    std::unique_ptr<CPlayerSession> m_session;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bToggle = false;
    CPlayerState m_snapshot;
    std::thread m_thread;
};

// Connects once and says what it found: "VLC 3.0.18 Vetinari: playing, 0:12:34", or why not. Takes up to a second.
std::string CheckPlayer(const CPlayerConfig& config, IPlayerTransport& transport, SteadyMsClock clock = SteadyNowMs);
