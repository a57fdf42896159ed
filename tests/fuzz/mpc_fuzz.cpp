// Feeds arbitrary bytes as MPC's answer: the HTTP reply reader, then variables.html's reader and the position
// estimate. What is read is within MPC's bounds; the estimate is finite and known only while something plays.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/FilmPosition.h"
#include "core/PlayerPages.h"
#include "core/PositionLock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CHttpResponse reply;
    std::string reason;
    const HttpParse parsed = ParseHttpResponse(bytes, true, reply, reason);
    if (parsed == HttpParse::Incomplete || (parsed == HttpParse::Bad) != !reason.empty() ||
        reply.strBody.size() > kMaxHttpReply)
        std::abort();
    // The body alone too, so that the page reader is reached without a valid head.
    CMpcEstimate estimate;
    double now = 0;
    for (const std::string& page : {reply.strBody, bytes}) {
        CMpcStatus s;
        if (!ParseMpcVariables(page, s, reason))
            continue;
        if (s.nState < -1 || s.nState > 2 || !IsFilmPositionMs(s.dPositionMs) || !IsFilmPositionMs(s.dDurationMs) ||
            !IsPlayerSpeed(s.dRate))
            std::abort();
        estimate.OnStatus(s, now, now + 5);
        now += 250;
        if (!std::isfinite(estimate.Lock().Position(now)) || estimate.Lock().IsKnown() != (s.nState >= 1))
            std::abort();
    }
    return 0;
}
