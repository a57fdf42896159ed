// Feeds arbitrary bytes as VLC's answer: the HTTP reply reader, then status.json's reader (on the reply and on the
// bytes as a body) and the position estimate. What is read is within VLC's bounds; the estimate is finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/FilmPosition.h"
#include "core/PlayerPages.h"
#include "core/PositionLock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CHttpResponse reply, body;
    std::string reason;
    const HttpParse parsed = ParseHttpResponse(bytes, size % 2 == 0, reply, reason);
    if ((parsed == HttpParse::Bad) != !reason.empty() || reply.strBody.size() > kMaxHttpReply)
        std::abort();
    body.nStatus = 200, body.strBody = bytes;
    CVlcEstimate estimate;
    double now = 0;
    for (const CHttpResponse* r : {&reply, &body}) {
        CVlcStatus s;
        if (!ParseVlcStatus(*r, s, reason)) {
            if (reason.empty())
                std::abort();
            continue;
        }
        if (!IsFilmPositionMs(s.dTimeMs) || std::fmod(s.dTimeMs, 1000) != 0 || !IsFilmPositionMs(s.dLengthMs) ||
            !(s.dPosition >= 0 && s.dPosition <= 1) || !IsPlayerSpeed(s.dRate))
            std::abort();
        estimate.OnStatus(s, now, now + 5);
        now += 150;
        if (!std::isfinite(estimate.Lock().Position(now)))
            std::abort();
    }
    return 0;
}
