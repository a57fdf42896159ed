#pragma once
// Where the overlay opens, from the rectangle saved in the settings: the saved
// place when enough of it lies on a monitor, else centred on the primary
// monitor's work area, so that an overlay is never lost off screen.

#include <vector>

#include "core/SettingsRecord.h"

// At least this much of the saved rectangle must lie on one monitor, in pixels.
constexpr int kOverlayMinVisibleCx = 48;
constexpr int kOverlayMinVisibleCy = 24;

// False when no rectangle is stored (its bottom equals its top): the overlay
// keeps the place the dialog framework gives it. Otherwise `placed` is where it
// opens: the saved rectangle as it is when at least 48 x 24 pixels of it lie on
// one of `monitors`; else centred on `primaryWork`, at the saved size when that
// is at least 48 x 24 and fits, else at the template's size (cxTemplate, cyTemplate).
bool PlaceOverlay(const KRect& saved, const std::vector<KRect>& monitors, const KRect& primaryWork, int cxTemplate,
                  int cyTemplate, KRect& placed);
