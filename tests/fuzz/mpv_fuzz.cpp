// Feeds arbitrary bytes to mpv's line framing, in two reads split where the first byte says, and every line
// to the message reader and a position estimate: what is read is within mpv's bounds, the estimate finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "core/FilmPosition.h"
#include "core/MpvProtocol.h"
#include "core/PositionLock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t split = data[0] % size;
    CLineFramer framer;
    CMpvEstimate estimate;
    double now = 0;
    framer.Feed(reinterpret_cast<const char*>(data + 1), split);
    framer.Feed(reinterpret_cast<const char*>(data + 1 + split), size - 1 - split);
    for (std::string line; framer.Next(line);) {
        CMpvMessage m;
        std::string reason;
        if (line.size() > CLineFramer::kMaxLine || line.find('\n') != std::string::npos)
            std::abort();
        if (!ParseMpvMessage(line, m, reason)) {
            if (reason.empty())
                std::abort();
            continue;
        }
        if ((m.eKind == CMpvMessage::TimePos && m.bHasValue && !IsFilmPositionMs(m.dValue)) ||
            (m.eKind == CMpvMessage::Speed && m.bHasValue && !IsPlayerSpeed(m.dValue)))
            std::abort();
        estimate.OnMessage(m, now += 16);
        if (!std::isfinite(estimate.Lock().Position(now + 1000)))
            std::abort();
    }
    return 0;
}
