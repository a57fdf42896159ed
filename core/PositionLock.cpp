#include "core/PositionLock.h"

#include <algorithm>

#include "core/MpvProtocol.h"
#include "core/PlayerPages.h"

bool CPositionLock::Observe(double low, double high, double rate, double sentMs, double arrivedMs)
{
    const double cLow = low - rate * arrivedMs, cHigh = high - rate * sentMs;
    if (m_bKnown && rate != m_dRate)
        ChangeRate(rate, m_dLastSent, arrivedMs);
    m_dLastSent = sentMs;
    const double estimate = (m_dLow + m_dHigh) / 2;
    if (!m_bKnown || cLow - estimate > kJumpMs || estimate - cHigh > kJumpMs) {
        m_bKnown = true;
        m_dRate = rate;
        m_dLow = cLow, m_dHigh = cHigh;
        return true;
    }
    const double low2 = std::max(m_dLow, cLow), high2 = std::min(m_dHigh, cHigh);
    if (low2 <= high2) {
        m_dLow = low2, m_dHigh = high2;
        return false;
    }
    // The reading disagrees a little (the player's clock drifts, or a short seek): move just far enough to
    // agree with it, keeping what was known of the width.
    const double width = m_dHigh - m_dLow;
    if (cLow > m_dHigh)
        m_dLow = cLow, m_dHigh = std::min(cHigh, cLow + width);
    else
        m_dHigh = cHigh, m_dLow = std::max(cLow, cHigh - width);
    return false;
}

void CPositionLock::Refine(double low, double high, double sentMs, double arrivedMs)
{
    const double low2 = std::max(m_dLow, low - m_dRate * arrivedMs);
    const double high2 = std::min(m_dHigh, high - m_dRate * sentMs);
    if (m_bKnown && low2 <= high2)
        m_dLow = low2, m_dHigh = high2;
}

void CPositionLock::ChangeRate(double rate, double fromMs, double toMs)
{
    // Position t_c: c + r t_c = c' + r' t_c, so c' = c + (r - r') t_c for t_c somewhere in [from, to].
    const double d = m_dRate - rate;
    m_dLow += std::min(d * fromMs, d * toMs);
    m_dHigh += std::max(d * fromMs, d * toMs);
    m_dRate = rate;
}

void CPositionLock::Lose(double nowMs)
{
    m_dLow = m_dHigh = Position(nowMs);
    m_dRate = 0;
    m_bKnown = false;
}

double CPositionLock::Position(double nowMs) const
{
    return (m_dLow + m_dHigh) / 2 + m_dRate * nowMs;
}

void CMpvEstimate::OnMessage(const CMpvMessage& message, double nowMs)
{
    switch (message.eKind) {
    case CMpvMessage::TimePos:
        if (message.bHasValue)
            m_lock.Observe(message.dValue, message.dValue, EffectiveRate(), nowMs, nowMs);
        else
            m_lock.Lose(nowMs);
        return;
    case CMpvMessage::EndFile:
        m_lock.Lose(nowMs);
        return;
    case CMpvMessage::Pause: m_bPaused = message.bHasValue && message.dValue != 0; break;
    case CMpvMessage::Speed: m_dSpeed = message.bHasValue ? message.dValue : 1; break;
    case CMpvMessage::Seeking: m_bSeeking = message.bHasValue && message.dValue != 0; break;
    case CMpvMessage::Seek: m_bSeeking = true; break;
    case CMpvMessage::PlaybackRestart: m_bSeeking = false; break;
    default: return;
    }
    if (m_lock.IsKnown())
        m_lock.ChangeRate(EffectiveRate(), nowMs, nowMs);
}

void CMpcEstimate::OnStatus(const CMpcStatus& status, double sentMs, double arrivedMs)
{
    m_bPaused = status.nState == CMpcStatus::Paused;
    if (status.nState == CMpcStatus::Playing)
        m_lock.Observe(status.dPositionMs, status.dPositionMs + kRefreshMs * status.dRate, status.dRate, sentMs,
                       arrivedMs);
    else if (m_bPaused)
        m_lock.Observe(status.dPositionMs, status.dPositionMs, 0, sentMs, arrivedMs);
    else
        m_lock.Lose(arrivedMs);  // stopped or nothing loaded: no film position
}

void CVlcEstimate::OnStatus(const CVlcStatus& status, double sentMs, double arrivedMs)
{
    m_bPaused = status.eState == CVlcStatus::Paused;
    if (status.eState == CVlcStatus::Stopped)
        return m_lock.Lose(arrivedMs);
    m_lock.Observe(status.dTimeMs, status.dTimeMs + 1000, m_bPaused ? 0 : status.dRate, sentMs, arrivedMs);
    if (status.dLengthMs > 0)
        m_lock.Refine(status.dPosition * status.dLengthMs, status.dPosition * (status.dLengthMs + 1000), sentMs,
                      arrivedMs);
}
