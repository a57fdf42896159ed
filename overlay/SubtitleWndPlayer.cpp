// CSubtitleWnd following a film player: the follower's worker thread posts
// kPlayerMessage when it has a new state; the window thread takes it over and
// plays from it. The status line names the player followed for a moment, and
// keeps saying so while the player is waited for or answers wrongly.
#include "core/WallFilmClock.h"
#include "framework/WinPlayerTransport.h"
#include "overlay/SubtitleWnd.h"

namespace {
const char kEllipsis[] = "\xE2\x80\xA6";
}  // namespace

std::unique_ptr<IFilmClock> CSubtitleWnd::MakePlayerClock(const CPlayerConfig& player)
{
    const HWND hWnd = m_hWnd;
    auto clock = std::make_unique<CPlayerFilmClock>(player, std::make_unique<CWinPlayerTransport>(),
                                                    [hWnd] { ::PostMessageW(hWnd, kPlayerMessage, 0, 0); });
    m_pPlayer = clock.get();
    m_strPlayerStatus.clear();
    m_bPlayerPaused = false;
    return clock;
}

bool CSubtitleWnd::TakePlayerState()
{
    m_pPlayer->Take();
    const CPlayerState& state = m_pPlayer->State();
    if (state.strStatus != m_strPlayerStatus) {
        m_strPlayerStatus = state.strStatus;
        m_bPlayerPaused = state.bPaused;
        if (state.eLink == CPlayerState::Following) {
            ShowStatus(state.strStatus);  // "Following VLC" for a moment
        } else {
            KillTimer(kStatusTimerId);  // waited for, or answering wrongly: stays until that changes
            m_status.Show(state.strStatus);
        }
        return true;
    }
    if (state.bPaused == m_bPlayerPaused)
        return false;
    m_bPlayerPaused = state.bPaused;
    ShowStatus(state.bPaused ? "Paused" : "Playing");
    return true;
}

std::string CSubtitleWnd::StandingStatus() const
{
    if (m_pPlayer && m_pPlayer->State().eLink != CPlayerState::Following)
        return m_pPlayer->State().strStatus;
    return m_controller.IsPaused() ? "Paused" : "";
}

std::string CSubtitleWnd::PauseCommand()
{
    const bool bPaused = m_controller.TogglePause();
    if (!m_pPlayer)
        return bPaused ? "Paused" : "Playing";
    // The player answers with its new state, which the status line then shows.
    const std::string name = m_pPlayer->Config().PlayerName();
    if (m_pPlayer->State().eLink == CPlayerState::Waiting)
        return "No " + name + " to pause";
    return (bPaused ? "Resuming " : "Pausing ") + name + kEllipsis;
}

void CSubtitleWnd::KeepTicking()
{
    if (m_controller.HasStarted() && !m_bTicking && (m_pPlayer || m_controller.IsPlaying())) {
        m_nTimer = SetTimer(kTimerId, kTimerPeriod);
        m_bTicking = m_nTimer != 0;
    }
}

void CSubtitleWnd::FollowPlayer(const CPlayerConfig& player)
{
    m_start.player = player;
    if (!m_controller.HasStarted() || (m_pPlayer ? m_pPlayer->Config() == player : player.eFollow == CPlayerConfig::Off))
        return;  // nothing plays, or nothing changed
    if (player.eFollow != CPlayerConfig::Off) {
        m_controller.SetClock(MakePlayerClock(player));  // the old player's follower ends here
        m_status.Show(std::string());
    } else {
        // The wall clock runs on from where the player was, paused if it was.
        const double now = SteadyNowMs();
        auto wall = std::make_unique<CWallFilmClock>(m_controller.Clock()->Position(now), now);
        if (m_controller.IsPaused())
            wall->TogglePause(now);
        m_pPlayer = nullptr;
        m_controller.SetClock(std::move(wall));
        ShowStatus("Wall clock");
    }
    KeepTicking();
    Play(false);
    Refresh();
}
