#include "core/OverlayPlacement.h"

#include <algorithm>
#include <cstdint>

bool PlaceOverlay(const KRect& saved, const std::vector<KRect>& monitors, const KRect& primaryWork, int cxTemplate,
                  int cyTemplate, KRect& placed)
{
    if (saved.bottom == saved.top)
        return false;
    // 64 bits: a damaged file may hold any four 32-bit values.
    const int64_t cx = int64_t{saved.right} - saved.left;
    const int64_t cy = int64_t{saved.bottom} - saved.top;
    // A width or height beyond 32 bits would turn negative in the window's own arithmetic.
    const bool usable = cx >= kOverlayMinVisibleCx && cy >= kOverlayMinVisibleCy && cx <= INT32_MAX && cy <= INT32_MAX;
    for (size_t i = 0; usable && i < monitors.size(); ++i) {
        const KRect& m = monitors[i];
        const int64_t cxShown = int64_t{std::min(saved.right, m.right)} - std::max(saved.left, m.left);
        const int64_t cyShown = int64_t{std::min(saved.bottom, m.bottom)} - std::max(saved.top, m.top);
        if (cxShown >= kOverlayMinVisibleCx && cyShown >= kOverlayMinVisibleCy) {
            placed = saved;  // on screen, also when partly off it: as it is
            return true;
        }
    }
    const int64_t cxWork = int64_t{primaryWork.right} - primaryWork.left;
    const int64_t cyWork = int64_t{primaryWork.bottom} - primaryWork.top;
    const bool fits = usable && cx <= cxWork && cy <= cyWork;
    const int64_t cxPlaced = fits ? cx : cxTemplate;
    const int64_t cyPlaced = fits ? cy : cyTemplate;
    // Centred; a window larger than the work area keeps its top-left corner on it.
    const int64_t left = primaryWork.left + std::max<int64_t>(0, (cxWork - cxPlaced) / 2);
    const int64_t top = primaryWork.top + std::max<int64_t>(0, (cyWork - cyPlaced) / 2);
    placed = KRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + cxPlaced),
                   static_cast<int32_t>(top + cyPlaced)};
    return true;
}
