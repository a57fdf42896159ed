// Arbitrary bytes as what a film player writes: as mpv's pipe (in two reads, split where the first byte says) and as
// MPC's or VLC's answer (an HTTP reply, and the bytes as a page), each read on into a position estimate. A refusal
// says why, a reply stays within its bounds, the estimates stay finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/MpvProtocol.h"
#include "core/PlayerPages.h"
#include "core/PositionLock.h"

static void Check(bool condition) { if (!condition) std::abort(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    double now = 0;
    CLineFramer framer;
    CMpvEstimate mpv;
    const size_t split = size ? data[0] % size : 0;
    framer.Feed(bytes.data(), split), framer.Feed(bytes.data() + split, size - split);
    for (std::string line, reason; framer.Next(line); reason.clear()) {
        CMpvMessage m;
        const bool read = ParseMpvMessage(line, m, reason);
        Check(read == reason.empty() && line.size() <= CLineFramer::kMaxLine);
        if (read)
            mpv.OnMessage(m, now += 16), Check(std::isfinite(mpv.Lock().Position(now + 1000)));
    }
    CHttpResponse reply, page;
    std::string reason;
    const bool closed = size % 2 == 0;
    const HttpParse parsed = ParseHttpResponse(bytes, closed, reply, reason);
    Check((parsed == HttpParse::Bad) == !reason.empty() && !(closed && parsed == HttpParse::Incomplete) &&
          reply.strBody.size() <= kMaxHttpReply);
    page.nStatus = 200, page.strBody = bytes;  // so that the page readers are reached without a valid head
    CMpcEstimate mpc;
    CVlcEstimate vlc;
    for (const CHttpResponse* r : {&reply, &page}) {
        CMpcStatus s;
        CVlcStatus v;
        std::string mpcReason, vlcReason;
        const bool isMpc = ParseMpcVariables(r->strBody, s, mpcReason), isVlc = ParseVlcStatus(*r, v, vlcReason);
        Check(isMpc == mpcReason.empty() && isVlc == vlcReason.empty());
        if (isMpc) {
            mpc.OnStatus(s, now, now + 5);
            Check(std::isfinite(mpc.Lock().Position(now += 250)) && mpc.Lock().IsKnown() == (s.nState >= 1));
        }
        if (isVlc)
            vlc.OnStatus(v, now, now + 5), Check(std::isfinite(vlc.Lock().Position(now += 150)));
    }
    return 0;
}
