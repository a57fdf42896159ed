#pragma once
// The rate presets: subtitles timed for one release of a film, played against
// another that runs at a different frame rate. At film position F the frame on
// the screen is F x (film fps), which the subtitles place at that frame divided
// by their own fps; so the rate is film fps / subtitle fps.

#include <vector>

struct CRatePreset {
    const char* label;  // UTF-8, as the menu and the status line show it
    double factor;      // subtitle ms per film ms
};

// "Rate 1.0 (as timed)" first; 23.976 is 24000/1001 frames a second.
const std::vector<CRatePreset>& RatePresets();
