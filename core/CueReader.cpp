#include "core/CueReader.h"

#include "core/AssReader.h"
#include "core/TimeMs.h"
#include "core/VttReader.h"

std::unique_ptr<CCueReader> MakeCueReader(SubtitleFormat format)
{
    switch (format) {
    case SubtitleFormat::WebVtt: return std::make_unique<CVttReader>();
    case SubtitleFormat::Ass: return std::make_unique<CAssReader>();
    default: return nullptr;
    }
}

size_t ReadDigits(const char*& p, const char* end, uint64_t& value)
{
    const char* const start = p;
    value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = value >= kMaxExactMs ? kMaxExactMs : value * 10 + static_cast<uint64_t>(*p - '0');
    return static_cast<size_t>(p - start);
}
