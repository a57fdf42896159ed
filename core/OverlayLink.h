#pragma once
// How the control panel and the overlay talk. Each sees the other only through
// these interfaces and the application wires them together, so neither window
// includes the other's code.

#include <cstdint>
#include <functional>
#include <string>

#include "core/OptionValues.h"
#include "core/PlayerConfig.h"
#include "core/SettingsRecord.h"

// What the overlay needs of the panel.
class IOverlayHost {
public:
    // The subtitle font and colour, asked for at every paint.
    virtual const KLogFont& SubtitleFont() const = 0;
    virtual uint32_t TextColor() const = 0;
    // The overlay's outer rectangle changed; kept for the settings file.
    virtual void OnOverlayMoved(const KRect& rc) = 0;
    // A live command changed the delay or the rate.
    virtual void OnDelayChanged(int32_t nDelay) = 0;
    virtual void OnRateChanged(double dRate) = 0;
    // The overlay's menu asks for the options dialog, owned by the overlay's
    // window (a native window handle).
    virtual void OnOptionsWanted(void* hOwner) = 0;
    // The overlay is closing; it is gone after this.
    virtual void OnOverlayClosed() = 0;

protected:
    ~IOverlayHost() = default;
};

// What the panel needs of an open overlay. The overlay owns itself: it goes
// when its window goes, after telling the host.
class IOverlay {
public:
    virtual void Activate() = 0;
    virtual void ToggleSeeThrough() = 0;
    // The options dialog's OK: the overlay takes them up at once.
    virtual void ApplyOptions(const COptionValues& options) = 0;
    // The same for the film player: a changed choice is followed from now on
    // (Off: the wall clock runs on from where the player was).
    virtual void FollowPlayer(const CPlayerConfig& player) = 0;

protected:
    ~IOverlay() = default;
};

// What an overlay starts with.
struct COverlayStart {
    std::string strFile;         // the subtitle file, UTF-8
    double dStartOffset = 0;     // ms: the point of the film at the press (unused while following a player)
    double dPressInstant = 0;    // steady ms of the press
    int32_t nDelay = 0;          // ms
    double dRate = 1;            // the rate preset in use
    KRect rcOverlay{};           // the rectangle saved last (bottom == top: none)
    COptionValues options;
    CPlayerConfig player;        // the film player followed; Follow off: the wall clock
};

// Makes an overlay window for host; null when its window could not be made.
using OverlayFactory = std::function<IOverlay*(IOverlayHost& host, const COverlayStart& start)>;
