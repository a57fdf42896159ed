#include "core/PlayerFollower.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/HttpMessage.h"
#include "core/PlayerPages.h"

namespace {

const char kEllipsis[] = "\xE2\x80\xA6";

// H:MM:SS of a film position.
std::string Clock(double ms)
{
    const long long s = static_cast<long long>(ms / 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

class CMpvSession : public CPlayerSession {
public:
    using CPlayerSession::CPlayerSession;

    int Step() override
    {
        if (!m_connection && !Connect())
            return kRetryMs;
        if (m_bToggle) {
            m_bToggle = false;
            if (!m_connection->Write(MpvCyclePauseCommand(), kRequestMs))
                return Disconnect(), kRetryMs;
        }
        // Always read: mpv stalls when its client stops reading.
        char buffer[16384];
        const int n = m_connection->Read(buffer, sizeof buffer, kSliceMs);
        if (n < 0)
            return Disconnect(), kRetryMs;
        m_framer.Feed(buffer, static_cast<size_t>(n));
        CMpvMessage message;
        std::string reason;
        for (std::string line; m_framer.Next(line);) {
            if (!ParseMpvMessage(line, message, reason)) {
                Refuse(reason);
                continue;
            }
            if (message.eKind == CMpvMessage::Shutdown)
                return Disconnect(), kRetryMs;
            if (message.eKind == CMpvMessage::Reply && message.nRequestId == kVersionRequest && message.bSuccess)
                m_state.strVersion = message.strText;
            m_estimate.OnMessage(message, m_clock());
            Follow(m_estimate);
        }
        if (m_framer.TakeDropped())
            Refuse("mpv sent a line over 64 KiB");
        return 0;
    }

private:
    static constexpr int64_t kVersionRequest = 1;

    bool Connect()
    {
        m_connection = m_transport.OpenPipe(m_config.PipePath(), kRequestMs, m_strError);
        if (!m_connection)
            return m_bToggle = false, Wait(m_strError), false;  // a pause pressed while no player is there is dropped
        m_framer.Clear();
        m_estimate = CMpvEstimate();
        if (!m_connection->Write(MpvObserveCommands() + MpvGetPropertyCommand("mpv-version", kVersionRequest),
                                 kRequestMs))
            return Disconnect(), false;
        m_strError.clear();
        Follow(m_estimate);
        return true;
    }

    void Disconnect()
    {
        m_connection.reset();
        m_estimate.Lose(m_clock());
        Wait(m_strError = "the pipe closed");
    }

    std::unique_ptr<IPlayerConnection> m_connection;
    CLineFramer m_framer;
    CMpvEstimate m_estimate;
};

// MPC and VLC: one connection per request, a poll at a steady pace.
class CHttpSession : public CPlayerSession {
public:
    using CPlayerSession::CPlayerSession;

    int Step() override
    {
        const double sent = m_clock();
        if (!m_bToggle && sent < m_dNextPoll)
            return static_cast<int>(std::ceil(m_dNextPoll - sent));
        const bool toggle = m_bToggle;
        m_bToggle = false;
        CHttpResponse reply;
        std::string reason;
        const int result = Exchange(toggle ? ToggleRequest() : StatusRequest(), reply, reason);
        const double arrived = m_clock();
        if (result < 0) {
            Lose(arrived);
            Wait(reason);
        } else if (result == 0 || !OnReply(reply, toggle, sent, arrived, reason)) {
            Refuse(result == 0 ? m_config.PlayerName() + " on " + m_config.Address() + ": " + reason : reason);
        } else {
            m_dNextPoll = toggle ? arrived : sent + PollMs();
            return static_cast<int>(std::max(0.0, std::ceil(m_dNextPoll - m_clock())));
        }
        m_dNextPoll = sent + kRetryMs;
        return kRetryMs;
    }

protected:
    virtual int PollMs() const = 0;
    virtual std::string StatusRequest() const = 0;
    virtual std::string ToggleRequest() const = 0;
    virtual bool OnReply(const CHttpResponse& reply, bool toggle, double sent, double arrived, std::string& reason) = 0;
    virtual void Lose(double now) = 0;

    int Port() const { return m_config.eFollow == CPlayerConfig::Mpc ? m_config.nMpcPort : m_config.nVlcPort; }

private:
    // One request on its own connection, within kRequestMs: 1 with a reply, 0 when the reply is not an
    // HTTP reply as the player writes one, -1 when nothing answered.
    int Exchange(const std::string& request, CHttpResponse& reply, std::string& reason)
    {
        const double deadline = m_clock() + kRequestMs;
        auto connection = m_transport.Connect(m_config.strHost, Port(), kRequestMs, m_strError);
        if (!connection)
            return reason = m_strError, -1;
        if (!connection->Write(request, static_cast<int>(std::max(1.0, deadline - m_clock()))))
            return reason = m_strError = "the request could not be sent", -1;
        m_strError.clear();
        std::string bytes;
        char buffer[16384];
        for (;;) {
            const double left = deadline - m_clock();
            if (left <= 0 || (m_pStop && *m_pStop))
                return reason = "no complete reply within 500 ms", 0;
            const int n = connection->Read(buffer, sizeof buffer, static_cast<int>(std::min<double>(left, kSliceMs)));
            if (n > 0)
                bytes.append(buffer, static_cast<size_t>(n));
            const HttpParse parsed = ParseHttpResponse(bytes, n < 0, reply, reason);
            if (parsed != HttpParse::Incomplete)
                return parsed == HttpParse::Complete ? 1 : 0;
        }
    }

    double m_dNextPoll = -1e300;
};

class CMpcSession : public CHttpSession {
public:
    using CHttpSession::CHttpSession;

protected:
    int PollMs() const override { return 250; }
    std::string StatusRequest() const override
    {
        return BuildHttpRequest("GET", m_config.strHost, Port(), "/variables.html");
    }
    // MPC-HC / MPC-BE's play/pause command, posted as the interface's own command page posts it.
    std::string ToggleRequest() const override
    {
        return BuildHttpRequest("POST", m_config.strHost, Port(), "/command.html", nullptr, "wm_command=889");
    }
    bool OnReply(const CHttpResponse& reply, bool toggle, double sent, double arrived, std::string& reason) override
    {
        if (reply.nStatus != 200)
            return reason = "MPC answered HTTP " + std::to_string(reply.nStatus), false;
        if (toggle)
            return true;  // the command page says nothing of the state: the next poll, at once, does
        CMpcStatus status;
        if (!ParseMpcVariables(reply.strBody, status, reason))
            return false;
        m_estimate.OnStatus(status, sent, arrived);
        m_state.strVersion = "MPC-HC/BE" + (status.strVersion.empty() ? "" : " " + status.strVersion);
        Follow(m_estimate);
        return true;
    }
    void Lose(double now) override { m_estimate.Lose(now); }

private:
    CMpcEstimate m_estimate;
};

class CVlcSession : public CHttpSession {
public:
    using CHttpSession::CHttpSession;

protected:
    int PollMs() const override { return 150; }
    std::string StatusRequest() const override { return Request("/requests/status.json"); }
    std::string ToggleRequest() const override { return Request("/requests/status.json?command=pl_pause"); }
    bool OnReply(const CHttpResponse& reply, bool, double sent, double arrived, std::string& reason) override
    {
        CVlcStatus status;
        if (!ParseVlcStatus(reply, status, reason))
            return false;
        m_estimate.OnStatus(status, sent, arrived);
        m_state.strVersion = "VLC" + (status.strVersion.empty() ? "" : " " + status.strVersion);
        Follow(m_estimate);
        return true;
    }
    void Lose(double now) override { m_estimate.Lose(now); }

private:
    std::string Request(const char* path) const
    {
        return BuildHttpRequest("GET", m_config.strHost, Port(), path, &m_config.strVlcPassword);
    }
    CVlcEstimate m_estimate;
};

}  // namespace

std::unique_ptr<CPlayerSession> CPlayerSession::Create(const CPlayerConfig& config, IPlayerTransport& transport,
                                                       SteadyMsClock clock, const std::atomic<bool>* stop)
{
    switch (config.eFollow) {
    case CPlayerConfig::Mpv: return std::unique_ptr<CPlayerSession>(new CMpvSession(config, transport, clock, stop));
    case CPlayerConfig::Mpc: return std::unique_ptr<CPlayerSession>(new CMpcSession(config, transport, clock, stop));
    case CPlayerConfig::Vlc: return std::unique_ptr<CPlayerSession>(new CVlcSession(config, transport, clock, stop));
    default: return nullptr;
    }
}

CPlayerSession::CPlayerSession(const CPlayerConfig& config, IPlayerTransport& transport, SteadyMsClock clock,
                               const std::atomic<bool>* stop)
    : m_config(config), m_transport(transport), m_clock(std::move(clock)), m_pStop(stop)
{
    Wait(std::string());
}

void CPlayerSession::Wait(const std::string& why)
{
    m_state.eLink = CPlayerState::Waiting;
    m_state.bPaused = false;
    if (m_state.lock.IsKnown())
        m_state.lock.Lose(m_clock());
    m_state.strStatus = "Waiting for " + m_config.PlayerName() + " on " + m_config.Address() + kEllipsis;
    m_strError = why;
}

void CPlayerSession::Refuse(const std::string& reason)
{
    m_state.eLink = CPlayerState::Refused;
    m_state.strStatus = reason;
}

void CPlayerSession::Follow(const CPlayerEstimate& estimate)
{
    m_state.eLink = CPlayerState::Following;
    m_state.lock = estimate.Lock();
    m_state.bPaused = estimate.IsPaused();
    m_state.strStatus = "Following " + m_config.PlayerName();
}

std::string CPlayerSession::Describe() const
{
    switch (m_state.eLink) {
    case CPlayerState::Waiting:
        return "No " + m_config.PlayerName() + " on " + m_config.Address() +
               (m_strError.empty() ? std::string() : " (" + m_strError + ")");
    case CPlayerState::Refused: return m_state.strStatus;
    default: break;
    }
    const std::string name = m_state.strVersion.empty() ? m_config.PlayerName() : m_state.strVersion;
    if (!m_state.lock.IsKnown())
        return name + ": nothing playing";
    return name + (m_state.bPaused ? ": paused, " : ": playing, ") + Clock(m_state.lock.Position(m_clock()));
}

CPlayerFollower::CPlayerFollower(const CPlayerConfig& config, std::unique_ptr<IPlayerTransport> transport,
                                 std::function<void()> onChange, SteadyMsClock clock)
    : m_transport(std::move(transport)), m_onChange(std::move(onChange)), m_clock(std::move(clock)),
      m_session(CPlayerSession::Create(config, *m_transport, m_clock, &m_bStop))
{
    if (!m_session)
        return;
    m_snapshot = m_session->State();
    m_thread = std::thread([this] { Run(); });
}

CPlayerFollower::~CPlayerFollower()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

CPlayerState CPlayerFollower::Snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_snapshot;
}

void CPlayerFollower::TogglePause()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bToggle = true;
    }
    m_wake.notify_all();
}

void CPlayerFollower::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bStop) {
        if (m_bToggle)
            m_session->RequestTogglePause();
        m_bToggle = false;
        lock.unlock();
        int wait = CPlayerSession::kRetryMs;
        CPlayerState state;
        try {
            wait = m_session->Step();
            state = m_session->State();
        } catch (const std::exception& e) {
            state.strStatus = std::string("Following failed: ") + e.what();
        }
        const double now = m_clock();
        lock.lock();
        const CPlayerState& old = m_snapshot;
        const bool changed = state.eLink != old.eLink || state.strStatus != old.strStatus ||
                             state.bPaused != old.bPaused || state.lock.IsKnown() != old.lock.IsKnown() ||
                             state.lock.Rate() != old.lock.Rate() ||
                             std::fabs(state.lock.Position(now) - old.lock.Position(now)) > kNotifyMs;
        m_snapshot = std::move(state);
        if (changed && m_onChange) {
            lock.unlock();
            m_onChange();
            lock.lock();
        }
        if (wait > 0)
            m_wake.wait_for(lock, std::chrono::milliseconds(wait), [this] { return m_bStop || m_bToggle; });
    }
}

std::string CheckPlayer(const CPlayerConfig& config, IPlayerTransport& transport, SteadyMsClock clock)
{
    auto session = CPlayerSession::Create(config, transport, clock);
    if (!session)
        return "Follow is off: no player to check";
    // mpv answers as a stream: read until the position and the version are in, for at most a second.
    const double until = clock() + 2 * CPlayerSession::kRequestMs;
    do {
        session->Step();
    } while (config.eFollow == CPlayerConfig::Mpv && session->State().eLink != CPlayerState::Waiting &&
             (!session->State().lock.IsKnown() || session->State().strVersion.empty()) && clock() < until);
    return session->Describe();
}
