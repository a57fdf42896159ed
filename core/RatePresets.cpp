#include "core/RatePresets.h"

const std::vector<CRatePreset>& RatePresets()
{
    static const std::vector<CRatePreset> presets = {
        {"Rate 1.0 (as timed)", 1.0},
        {"Rate 23.976 \xE2\x86\x92 25", 25.0 * 1001 / 24000},
        {"Rate 25 \xE2\x86\x92 23.976", 24000.0 / (25.0 * 1001)},
        {"Rate 24 \xE2\x86\x92 25", 25.0 / 24},
        {"Rate 25 \xE2\x86\x92 24", 24.0 / 25},
    };
    return presets;
}
