#pragma once
// Readers that hand on whole cues, one after another: WebVTT (CVttReader) and
// ASS/SSA (CAssReader). Their texts are in the canonical markup (MarkupWriter.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/SubtitleFormat.h"
#include "core/TimeMs.h"
#include "core/Unicode.h"

struct CCue {
    double dStart = 0, dEnd = 0;  // whole ms below 2^53; the end after the start
    std::string strText;          // canonical markup, never empty
    int32_t nIndex = 0;           // 1-based ordinal among the cues the file gives, in the file's order
};

class CCueReader {
public:
    virtual ~CCueReader() = default;
    // Opens the file (path in UTF-8). False when it cannot be opened or is no
    // file of the reader's format; a file of the format without cues opens.
    virtual bool Open(const std::string& pathUtf8, const CFileEncoding& encoding = {}) = 0;
    // The next cue; false at the end (cue may then have changed).
    virtual bool Next(CCue& cue) = 0;
    // The open file began with a UTF-8 or UTF-16 byte-order mark.
    virtual bool HasByteOrderMark() const = 0;
};

// The reader for a format; null for SubRip, which CSrtReader reads.
std::unique_ptr<CCueReader> MakeCueReader(SubtitleFormat format);

// The most of one cue's text (one event's text in ASS/SSA) that a reader takes
// from the file, in bytes; the rest is passed over. Bounds the memory and time
// a cue can take whatever the file holds; CMarkupWriter keeps far less.
constexpr size_t kMaxCueSource = 64 * 1024;

// Digits at p (before end) as a number, saturated at 2^53 so that any count of
// digits reads without overflow; advances p. The number of digits read.
inline size_t ReadDigits(const char*& p, const char* end, uint64_t& value)
{
    const char* const start = p;
    value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = value >= kMaxExactMs ? kMaxExactMs : value * 10 + static_cast<uint64_t>(*p - '0');
    return static_cast<size_t>(p - start);
}
